#include "practicesite.h"

#include "infopages.h"
#include "siterequest.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int portOf(const sockaddr_storage& address)
{
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}

// Drops the client's connection with a reset. The server library does not hand its socket
// to handlers, so the socket is found by its two ports and replaced by /dev/null: the last
// close then sends RST, and the library's own writes and close go to /dev/null.
void resetConnection(int localPort, int remotePort)
{
    DIR* dir = opendir("/proc/self/fd");
    if (!dir)
        return;
    int found = -1;
    while (const dirent* entry = readdir(dir)) {
        const int fd = std::atoi(entry->d_name);
        if (fd <= 2 || fd == dirfd(dir))
            continue;
        sockaddr_storage local{}, peer{};
        socklen_t localSize = sizeof local, peerSize = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localSize) != 0 ||
            getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0)
            continue;
        if (portOf(local) == localPort && portOf(peer) == remotePort) {
            found = fd;
            break;
        }
    }
    closedir(dir);
    if (found < 0)
        return;
    const linger hard{1, 0};
    setsockopt(found, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    const int null = open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
        dup2(null, found);
        close(null);
    }
}

std::string describe(const std::vector<FaultSwitch::Fault>& faults)
{
    std::string out;
    for (const FaultSwitch::Fault& f : faults)
        out += (out.empty() ? "" : ",") + std::string(FaultSwitch::kindName(f.kind));
    return out;
}

std::string base64(const std::string& text)
{
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < text.size(); i += 3) {
        const size_t n = std::min<size_t>(3, text.size() - i);
        unsigned v = 0;
        for (size_t k = 0; k < 3; ++k)
            v = v << 8 | (k < n ? static_cast<unsigned char>(text[i + k]) : 0u);
        for (size_t k = 0; k < 4; ++k)
            out += k <= n ? digits[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return out;
}

// The program update package: made-up bytes of the announced length, paced when asked.
void servePatch(const httplib::Request& request, httplib::Response& response,
                const AuctionHouse::Options& o)
{
    if (!o.patchUser.empty() && request.get_header_value("Authorization") !=
                                    "Basic " + base64(o.patchUser + ":" + o.patchPassword)) {
        response.status = 401;
        response.set_header("WWW-Authenticate", "Basic realm=\"practice updates\"");
        response.set_content("<html><body><h1>401 Unauthorized</h1></body></html>\n",
                             "text/html; charset=utf-8");
        return;
    }
    response.status = 200;
    const size_t total = static_cast<size_t>(o.patchBytes);
    const int rate = o.patchRate;
    response.set_content_provider(
        total, "application/octet-stream",
        [total, rate](size_t offset, size_t length, httplib::DataSink& sink) {
            char block[16384];
            const size_t n = std::min({length, sizeof block, total - offset});
            for (size_t i = 0; i < n; ++i)
                block[i] = static_cast<char>((offset + i) % 251);
            if (rate > 0)
                std::this_thread::sleep_for(std::chrono::microseconds(n * 1000000 / rate));
            return sink.write(block, n);
        });
}

} // namespace

PracticeSite::PracticeSite() : PracticeSite(Options()) {}

PracticeSite::PracticeSite(Options options)
    : m_options(std::move(options)), m_handler(m_house, m_faults)
{
}

PracticeSite::~PracticeSite()
{
    stop();
}

std::string PracticeSite::baseUrl() const
{
    return "http://127.0.0.1:" + std::to_string(m_port);
}

bool PracticeSite::bind()
{
    // A client that hangs up mid-answer must not take the site down.
    std::signal(SIGPIPE, SIG_IGN);
    m_server = std::make_unique<httplib::Server>();
    m_server->new_task_queue = [] { return new httplib::ThreadPool(16); };
    m_server->set_payload_max_length(1 << 20);
    // Headers and body go out in separate writes; without this each page waits for the
    // client's delayed acknowledgement.
    m_server->set_tcp_nodelay(true);
    m_server->set_keep_alive_max_count(1000);
    const auto handler = [this](const httplib::Request& req, httplib::Response& res) {
        handle(req, res);
    };
    m_server->Get(".*", handler);
    m_server->Post(".*", handler);
    m_server->Put(".*", handler);
    m_server->Patch(".*", handler);
    m_server->Delete(".*", handler);
    m_server->set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
            res.status = 500;
            res.set_content("internal error\n", "text/plain");
        });

    if (m_options.port == 0)
        m_port = m_server->bind_to_any_port("127.0.0.1");
    else
        m_port = m_server->bind_to_port("127.0.0.1", m_options.port) ? m_options.port : -1;
    if (m_port <= 0) {
        m_error = "cannot listen on 127.0.0.1:" + std::to_string(m_options.port);
        return false;
    }

    m_control = std::make_unique<ControlApi>(m_house, m_clock, m_faults, m_log, baseUrl(),
                                             [this] { m_server->stop(); });
    try {
        m_control->reset(m_options.script);
    } catch (const std::exception& e) {
        m_error = std::string("bad script: ") + e.what();
        return false;
    }
    if (!m_options.language.empty())
        m_house.options().language =
            m_options.language == "de" ? Language::German : Language::English;
    if (m_options.offset != 0)
        m_clock.setOffset(m_options.offset);
    if (m_options.speed != 1)
        m_clock.setSpeed(m_options.speed);
    return true;
}

void PracticeSite::serve()
{
    if (m_server)
        m_server->listen_after_bind();
}

bool PracticeSite::start()
{
    if (!bind())
        return false;
    m_thread = std::thread([this] { serve(); });
    // This library version has no ready signal; it answers once it reports running.
    for (int i = 0; i < 2000 && !m_server->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!m_server->is_running()) {
        m_error = "the server did not start";
        stop();
        return false;
    }
    return true;
}

void PracticeSite::stop()
{
    if (m_server)
        m_server->stop();
    if (m_thread.joinable())
        m_thread.join();
}

void PracticeSite::handle(const httplib::Request& request, httplib::Response& response)
{
    response.set_header("Cache-Control", "no-store");
    const std::string prefix = ControlApi::kPrefix;
    if (request.path == prefix || request.path.rfind(prefix + "/", 0) == 0) {
        const size_t q = request.target.find('?');
        const SiteResponse r = m_control->handle(
            request.method, request.path.substr(prefix.size()),
            q == std::string::npos ? std::string() : request.target.substr(q + 1), request.body);
        response.status = r.status;
        response.set_content(r.body, r.contentType);
        return;
    }
    handleSite(request, response);
}

void PracticeSite::handleSite(const httplib::Request& request, httplib::Response& response)
{
    const SiteRequest site(request);
    RequestLog::Entry entry;
    entry.siteTime = m_clock.now();
    entry.method = site.method();
    entry.path = site.path();
    entry.query = site.query();
    entry.page = SiteHandler::pageName(site);
    entry.item = site.item();
    entry.form = site.formFields();
    if (entry.form.empty() && !site.command().empty() && site.has(SiteRequest::kCommandField))
        entry.form = site.queryFields(); // a form sent with GET

    const std::vector<FaultSwitch::Fault> faults =
        m_faults.take(entry.path, entry.page, entry.item);
    entry.faults = describe(faults);
    const FaultSwitch::Fault* stopper = nullptr;
    bool maintenance = false;
    for (const FaultSwitch::Fault& f : faults) {
        if (f.kind == FaultSwitch::Kind::Delay)
            std::this_thread::sleep_for(std::chrono::milliseconds(f.delayMs));
        if (!stopper && (f.kind == FaultSwitch::Kind::Reset || f.kind == FaultSwitch::Kind::Status))
            stopper = &f;
        maintenance = maintenance || f.kind == FaultSwitch::Kind::Maintenance;
    }
    if (stopper && stopper->kind == FaultSwitch::Kind::Reset) {
        entry.status = 0;
        entry.outcome = "connection reset";
        m_log.add(std::move(entry));
        resetConnection(request.local_port, request.remote_port);
        response.status = 500;
        return;
    }
    if (stopper) {
        entry.status = stopper->status;
        m_log.add(std::move(entry));
        response.status = stopper->status;
        response.set_content("<html><body><h1>Server error " + std::to_string(stopper->status) +
                                 "</h1></body></html>\n",
                             "text/html; charset=utf-8");
        return;
    }

    AuctionHouse::Options options;
    {
        std::lock_guard lock(m_house.mutex());
        options = m_house.options();
        maintenance = maintenance || options.maintenance;
    }
    if (!maintenance && entry.path == "/update/" + options.patchName) {
        servePatch(request, response, options);
        entry.status = response.status;
        entry.outcome = response.status == 200 ? "package" : "authentication asked";
        m_log.add(std::move(entry));
        return;
    }
    // Answered at the site time after any delay: a delayed bid can arrive too late.
    SiteResponse r = maintenance ? SiteResponse::html(InfoPages::maintenance(), "maintenance")
                                 : m_handler.handle(site, m_clock.now(), baseUrl());
    for (const FaultSwitch::Fault& f : faults) {
        if (f.kind != FaultSwitch::Kind::Wording)
            continue;
        for (size_t p = r.body.find(f.from); p != std::string::npos;
             p = r.body.find(f.from, p + f.to.size()))
            r.body.replace(p, f.from.size(), f.to);
    }

    response.status = r.status;
    if (!r.setCookie.empty())
        response.set_header("Set-Cookie", r.setCookie);
    long keep = -1;
    for (const FaultSwitch::Fault& f : faults)
        if (f.kind == FaultSwitch::Kind::Truncate && keep < 0)
            keep = f.bytes < 0 ? static_cast<long>(r.body.size() / 2) : f.bytes;
    if (keep >= 0 && static_cast<size_t>(keep) < r.body.size()) {
        // Announces the whole length, sends part of it and drops the connection.
        auto body = std::make_shared<std::string>(std::move(r.body));
        const size_t cut = static_cast<size_t>(keep);
        response.set_content_provider(body->size(), r.contentType,
                                      [body, cut](size_t offset, size_t, httplib::DataSink& sink) {
                                          if (offset >= cut)
                                              return false;
                                          sink.write(body->data() + offset, cut - offset);
                                          return true;
                                      });
    } else {
        response.set_content(r.body, r.contentType);
    }
    entry.status = r.status;
    entry.user = r.user;
    entry.outcome = r.outcome;
    m_log.add(std::move(entry));
}
