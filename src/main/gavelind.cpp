// gavelind: the Gavelin engine without a window, for servers, scripts and tests.

#include "app/appcontext.h"
#include "app/commandline.h"
#include "app/singleinstance.h"
#include "app/startupsequence.h"
#include "app/terminationsignals.h"
#include "engine/headlessmainwindow.h"
#include "engine/maincontroller.h"
#include "main/daemoncommand.h"
#include "main/listcommand.h"
#include "main/parseitemcommand.h"
#include "main/settingscommand.h"
#include "main/sitescommand.h"

#include <QCoreApplication>
#include <QTextStream>
#include <iterator>

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
};

void printHelp()
{
    QTextStream out(stdout);
    out << "Usage: gavelind [run] [minimize] [exit] [--add URL]\n"
           "       gavelind COMMAND [ARGS...]\n\n"
           "Without a command gavelind runs the engine: it reads the settings, opens the log,\n"
           "loads the bid list and bids on time until it receives SIGTERM or SIGINT, or until\n"
           "'gavelind exit' asks it to quit (it then saves its list first).\n\n"
           "  exit            ask the running copy to save its list and quit\n"
           "  --add URL       hand an item page address to the running copy\n\n"
           "Commands:\n";
    for (const DaemonCommand& command : kCommands) {
        out << "  " << command.usage << "\n      " << command.summary << '\n';
    }
    out << "\nEnvironment: GAVELIN_HOME moves the settings and data folders under one folder.\n";
}

int runEngine(QCoreApplication& application, const QStringList& arguments)
{
    const CommandLine commandLine = CommandLine::parse(arguments);
    const AppPaths paths = AppPaths::fromEnvironment();
    SingleInstance instance(paths.configDir());
    if (StartupSequence::handOver(commandLine, instance) == StartupSequence::HandOver::Exit)
        return 0;

    AppContext app(paths);
    HeadlessMainWindow window;
    MainController controller(app, [&window]() -> IMainWindow* { return &window; });
    window.setBidsViewHandler(
        [&controller](int command) { controller.handleBidsViewCommand(command); });
    StartupSequence sequence(app, controller, {false, QCoreApplication::applicationFilePath()});

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
        if (first == QLatin1String("--help") || first == QLatin1String("-h") ||
            first == QLatin1String("help")) {
            printHelp();
            return 0;
        }
        for (const DaemonCommand& command : kCommands) {
            if (first == QLatin1String(command.name))
                return command.run(arguments.mid(1));
        }
        if (first == QLatin1String("run"))
            arguments.removeFirst();
        else if (first.startsWith(QLatin1String("--")) && first != QLatin1String("--add") &&
                 first != QLatin1String("--minimize") &&
                 !first.startsWith(QLatin1String("--add="))) {
            QTextStream(stderr) << "gavelind: unknown option " << first
                                << " (see gavelind --help)\n";
            return 2;
        }
    }
    return runEngine(application, arguments);
}
