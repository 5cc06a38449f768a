// gavelin-practice-site: a local auction site for trying and testing Gavelin.

#include "practicesite.h"
#include "updatefiles.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <pthread.h>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

const char kUsage[] =
    "usage: gavelin-practice-site [--port N] [--language en|de] [--script FILE]\n"
    "                             [--offset SECONDS] [--speed FACTOR] [--port-file FILE]\n"
    "       gavelin-practice-site --print-profile --port N [--ini]\n"
    "\n"
    "Serves a practice auction site on 127.0.0.1 (port 0 or none picks a free one) and\n"
    "prints \"port=N\" on the first line. --port-file writes that line to FILE as well, once\n"
    "the site listens: the file appears whole (it is renamed into place), so a script may\n"
    "wait for it. --print-profile prints the site-profile values that point Gavelin at a\n"
    "site on port N, as key=value lines or (--ini) as settings.\n";

bool readNumber(const std::string& text, double& value)
{
    std::istringstream in(text);
    in >> value;
    return !in.fail() && in.eof();
}

// FILE written next to its place and renamed: a reader sees no file or the whole line,
// never an empty or half-written one.
bool writePortFile(const std::string& path, int port)
{
    const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << "port=" << port << "\n";
        out.close();
        if (!out)
            return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

int fail(const std::string& message)
{
    std::cerr << "gavelin-practice-site: " << message << "\n" << kUsage;
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    PracticeSite::Options options;
    bool printProfile = false;
    bool ini = false;
    bool portGiven = false;
    std::string portFile;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        double number = 0;
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        } else if (arg == "--print-profile") {
            printProfile = true;
        } else if (arg == "--ini") {
            ini = true;
        } else if (arg == "--port" && hasValue && readNumber(argv[i + 1], number) && number >= 0 &&
                   number <= 65535 && number == static_cast<int>(number)) {
            options.port = static_cast<int>(number);
            portGiven = true;
            ++i;
        } else if (arg == "--port-file" && hasValue) {
            portFile = argv[++i];
        } else if (arg == "--language" && hasValue &&
                   (std::string(argv[i + 1]) == "en" || std::string(argv[i + 1]) == "de")) {
            options.language = argv[++i];
        } else if (arg == "--script" && hasValue) {
            std::ifstream file(argv[++i]);
            if (!file)
                return fail(std::string("cannot read ") + argv[i]);
            std::ostringstream text;
            text << file.rdbuf();
            options.script = text.str();
        } else if (arg == "--offset" && hasValue && readNumber(argv[i + 1], number)) {
            options.offset = number;
            ++i;
        } else if (arg == "--speed" && hasValue && readNumber(argv[i + 1], number) && number > 0) {
            options.speed = number;
            ++i;
        } else {
            return fail("bad argument " + arg);
        }
    }

    if (printProfile) {
        if (!portGiven || options.port == 0)
            return fail("--print-profile needs the site's --port");
        const std::string base = "http://127.0.0.1:" + std::to_string(options.port);
        if (ini) {
            std::cout << UpdateFiles::profileIni(base);
        } else {
            for (const std::string& line : UpdateFiles::profileLines(base))
                std::cout << line << "\n";
        }
        return 0;
    }

    // Signals are taken by one waiting thread; every server thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    PracticeSite site(options);
    if (!site.bind()) {
        std::cerr << "gavelin-practice-site: " << site.error() << "\n";
        return 1;
    }
    std::thread([&site, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        site.stop();
    }).detach();

    std::printf("port=%d\n", site.port());
    std::fflush(stdout);
    if (!portFile.empty() && !writePortFile(portFile, site.port())) {
        std::cerr << "gavelin-practice-site: cannot write " << portFile << "\n";
        return 1;
    }
    std::cerr << "gavelin-practice-site: serving " << site.baseUrl() << "/ (control under "
              << site.baseUrl() << ControlApi::kPrefix << ")\n";
    site.serve();
    return 0;
}
