// gavelind: the Gavelin engine without a window, for servers, scripts and tests.

#include "app/appcontext.h"
#include "app/commandline.h"
#include "app/singleinstance.h"
#include "app/startupsequence.h"
#include "app/systeminfo.h"
#include "app/terminationsignals.h"
#include "engine/controlhandlers.h"
#include "engine/headlessmainwindow.h"
#include "engine/maincontroller.h"
#include "mail/mailcheckrunner.h"
#include "mail/mailcontrol.h"
#include "main/commandmatcher.h"
#include "main/controlcommand.h"
#include "main/daemoncommand.h"
#include "main/listcommand.h"
#include "main/mailcommand.h"
#include "main/parseitemcommand.h"
#include "main/searchcommand.h"
#include "main/settingscommand.h"
#include "main/sitescommand.h"
#include "main/updatesitescommand.h"
#include "search/startupsearchrunner.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <optional>

namespace {

const DaemonCommand kCommands[] = {
    {"sites", "sites [--json]", "list the known sites, the site list and the current site",
     runSitesCommand},
    {"settings", "settings get SECTION KEY | set SECTION KEY VALUE | export",
     "read or write one setting, or print all", runSettingsCommand},
    {"list", "list FILE [--json|--rewrite OUT]",
     "print the folders and items of a bid list, or rewrite it in the newest layout",
     runListCommand},
    {"parse-item", "parse-item [--site NAME] [--text|--body-text] FILE|URL",
     "read a saved or downloaded item page and print its fields as JSON (or its body text)",
     runParseItemCommand},
    {"search", "search [--site NAME] WORDS... [--json]",
     "search the site for the words and print the auctions found", runSearchCommand},
    {"update-sites", "update-sites [--url URL]",
     "download the site settings update now and print what it changed (3: nothing newer)",
     runUpdateSitesCommand},
    {"add", "add ITEM MAXPRICE [--folder NAME] [--quantity N] [--inactive] [--yes]",
     "running copy: read the item page and add the bid as the item dialog does", runAddCommand},
    {"status", "status [--json]",
     "running copy: each bid's state, prices and time left; site time, connection",
     runStatusCommand},
    {"start", "start ITEM", "running copy: start bidding on the bid now", runStartCommand},
    {"stop", "stop ITEM [--retract]",
     "running copy: stop the bid; --retract also retracts the bids placed", runStopCommand},
    {"sync", "sync", "running copy: synchronise the time with the site now", runSyncCommand},
    {"log", "log [-f]", "running copy: print its log; -f follows it while the copy runs",
     runLogCommand},
    {"mail", "mail check [--json] | mail test",
     "check the command mailbox now (in the running copy when there is one) and print what "
     "each mail did, or send the test mail and print the server's replies",
     runMailCommand},
};

// The words that start the engine or speak to the running copy rather than run a command.
struct StartWord
{
    const char* word;
    const char* usage;
    const char* summary;
};

const StartWord kStartWords[] = {
    {"run", "run", "run the engine (the same as giving no command)"},
    {"minimize", "minimize", "accepted as by the desktop program; the engine has no window"},
    {"exit", "exit", "ask the running copy to save its list and quit"},
    {"--add", "--add URL", "hand an item page address to the running copy"},
};

bool isHelpWord(const QString& word)
{
    return word == QLatin1String("help") || word == QLatin1String("--help") ||
           word == QLatin1String("-h");
}

const DaemonCommand* findCommand(const QString& name)
{
    for (const DaemonCommand& command : kCommands) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

const StartWord* findStartWord(const QString& word)
{
    for (const StartWord& start : kStartWords) {
        if (word == QLatin1String(start.word))
            return &start;
    }
    return nullptr;
}

// Refuses a word that means nothing here, naming the nearest one that does; status 2.
int refuse(const QString& kind, const QString& word, const QStringList& candidates)
{
    QTextStream err(stderr);
    err << "gavelind: unknown " << kind << " '" << word << "' (see gavelind --help)\n";
    const QString nearest = CommandMatcher::closest(word, candidates);
    if (!nearest.isEmpty())
        err << "did you mean '" << nearest << "'?\n";
    return 2;
}

QStringList firstWords()
{
    QStringList words{QStringLiteral("help"), QStringLiteral("--help"), QStringLiteral("--version"),
                      QStringLiteral("--minimize")};
    for (const DaemonCommand& command : kCommands)
        words << QLatin1String(command.name);
    for (const StartWord& start : kStartWords)
        words << QLatin1String(start.word);
    return words;
}

void printHelp()
{
    QTextStream out(stdout);
    out << "Usage: gavelind [run] [minimize] [exit] [--add URL]\n"
           "       gavelind COMMAND [ARGS...]\n"
           "       gavelind help COMMAND | --version\n\n"
           "Without a command gavelind runs the engine: it reads the settings, opens the log,\n"
           "loads the bid list and bids on time until it receives SIGTERM or SIGINT, or until\n"
           "'gavelind exit' asks it to quit (it then saves its list first). A second copy\n"
           "hands its words to the running one and ends.\n\n";
    for (const StartWord& start : kStartWords)
        out << "  " << QString::fromLatin1(start.usage).leftJustified(14) << "  " << start.summary
            << '\n';
    out << "\nCommands:\n";
    for (const DaemonCommand& command : kCommands)
        out << "  " << command.usage << "\n      " << command.summary << '\n';
    out << "\nThe commands marked 'running copy' speak to the copy that runs for the same\n"
           "settings folder (gavelind or the desktop program) over its private socket; they\n"
           "end with status 1 when it refuses, 2 on bad usage and 3 when no copy runs.\n";
    out << "\nEnvironment: GAVELIN_HOME moves the settings and data folders under one folder.\n";
}

int printUsage(const QString& word)
{
    QTextStream out(stdout);
    if (const DaemonCommand* command = findCommand(word)) {
        out << "Usage: gavelind " << command->usage << "\n  " << command->summary << '\n';
        return 0;
    }
    const StartWord* start =
        findStartWord(word == QLatin1String("--minimize") ? QStringLiteral("minimize") : word);
    if (start) {
        out << "Usage: gavelind " << start->usage << "\n  " << start->summary << '\n';
        return 0;
    }
    if (isHelpWord(word)) {
        printHelp();
        return 0;
    }
    return refuse(QStringLiteral("command"), word, firstWords());
}

void printVersion()
{
    const int version = AppContext::builtInVersion();
    QTextStream out(stdout);
    out << "gavelind " << QString::asprintf("%d.%.2d", version >> 16, version & 0xffff)
        << " (versionApp " << version << ")\n"
        << "Qt " << qVersion() << '\n'
        << "libcurl " << SystemInfo::httpEngineVersion() << '\n'
        << "gumbo " << GAVELIN_GUMBO_VERSION << '\n';
}

// Checks a line that starts the engine word by word; the status to end with when it
// holds anything else. A typo must not leave a bidding engine holding the lock.
std::optional<int> checkStartLine(const QStringList& arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& word = arguments.at(i);
        if (word == QLatin1String("minimize") || word == QLatin1String("--minimize") ||
            word == QLatin1String("exit") || (i == 0 && word == QLatin1String("run")))
            continue;
        const bool addNext = word == QLatin1String("--add");
        if (addNext || word.startsWith(QLatin1String("--add="))) {
            const bool hasUrl = addNext ? i + 1 < arguments.size() && !arguments.at(i + 1).isEmpty()
                                        : word.size() > 6;
            if (!hasUrl) {
                QTextStream(stderr) << "gavelind: --add needs an item page address "
                                       "(see gavelind help --add)\n";
                return 2;
            }
            if (addNext)
                ++i;
            continue;
        }
        if (i == 0) {
            const bool option = word.startsWith(QLatin1Char('-'));
            return refuse(option ? QStringLiteral("option") : QStringLiteral("command"), word,
                          firstWords());
        }
        return refuse(QStringLiteral("argument"), word,
                      {QStringLiteral("minimize"), QStringLiteral("--minimize"),
                       QStringLiteral("exit"), QStringLiteral("--add")});
    }
    return std::nullopt;
}

int runEngine(QCoreApplication& application, const QStringList& arguments)
{
    const CommandLine commandLine = CommandLine::parse(arguments);
    const AppPaths paths = AppPaths::fromEnvironment();
    SingleInstance instance(paths.configDir());
    if (StartupSequence::handOver(commandLine, instance) == StartupSequence::HandOver::Exit) {
        // Anything but "exit" only ends here when a running copy answered; "exit" ends
        // here either way and so stays quiet.
        if (!commandLine.exit) {
            QTextStream(stderr) << "gavelind: handed over to the copy already running for "
                                << QDir::toNativeSeparators(paths.configDir()) << '\n';
        }
        return 0;
    }
    QTextStream(stderr) << "gavelind: data folder " << QDir::toNativeSeparators(paths.dataDir())
                        << ", log " << QDir::toNativeSeparators(paths.logFile()) << '\n';

    AppContext app(paths);
    HeadlessMainWindow window;
    MainController controller(app, [&window]() -> IMainWindow* { return &window; });
    window.setBidsViewHandler(
        [&controller](int command) { controller.handleBidsViewCommand(command); });
    StartupSearchRunner savedSearches(app, controller.siteSettings());
    controller.savedSearchCheck = [&savedSearches] { savedSearches.start(); };
    MailCheckRunner mail(app, controller.document());
    controller.mailCheck = [&mail] { mail.checkNow(); };
    controller.mailNotification = [&mail](int kind, const QString& id) { mail.notify(kind, id); };
    MailControl::install(instance.registry(), mail);
    StartupSequence sequence(app, controller, {false, QCoreApplication::applicationFilePath()});
    ControlHandlers control(app, controller);
    control.install(instance.registry());

    QObject::connect(&controller, &MainController::exitPrepared, &application, [&] {
        instance.acknowledgeExit();
        QCoreApplication::exit(0);
    });
    QObject::connect(&instance, &SingleInstance::exitRequested, &controller,
                     &MainController::externalExit);
    QObject::connect(&instance, &SingleInstance::activateRequested, &application,
                     [&window] { window.activate(); });
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &controller,
                     [&controller](int) { controller.externalExit(); });

    int status = 1;
    if (sequence.run(commandLine))
        status = application.exec();
    sequence.finish();
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gavelind"));
    QStringList arguments = QCoreApplication::arguments().mid(1);

    if (!arguments.isEmpty()) {
        const QString first = arguments.first();
        if (isHelpWord(first)) {
            if (arguments.size() > 1)
                return printUsage(arguments.at(1));
            printHelp();
            return 0;
        }
        if (first == QLatin1String("--version")) {
            printVersion();
            return 0;
        }
        if (const DaemonCommand* command = findCommand(first)) {
            // "help" alone could be a file name; the dashed forms cannot.
            const QStringList rest = arguments.mid(1);
            if (rest == QStringList{"--help"} || rest == QStringList{"-h"})
                return printUsage(first);
            return command->run(rest);
        }
        if (const std::optional<int> refused = checkStartLine(arguments))
            return *refused;
        if (first == QLatin1String("run"))
            arguments.removeFirst();
    }
    return runEngine(application, arguments);
}
