// gavelin: the desktop program.

#include "app/appcontext.h"
#include "app/commandline.h"
#include "app/itemslock.h"
#include "app/singleinstance.h"
#include "app/startupsequence.h"
#include "app/terminationsignals.h"
#include "engine/bidstarter.h"
#include "engine/controlhandlers.h"
#include "engine/maincontroller.h"
#include "mail/mailcheckrunner.h"
#include "mail/mailcontrol.h"
#include "mail/supportlogsender.h"
#include "model/bidsdoc.h"
#include "model/documentstore.h"
#include "search/startupsearchrunner.h"
#include "ui/accesspromptdlg.h"
#include "ui/addfrombrowser.h"
#include "ui/bidsleftview.h"
#include "ui/browserinstall.h"
#include "ui/commandid.h"
#include "ui/itempagecommands.h"
#include "ui/listfilecommands.h"
#include "ui/mainframe.h"
#include "ui/screenshothook.h"
#include "ui/splashscreen.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPointer>
#include <memory>
#include <unistd.h>
#include <utility>

int main(int argc, char** argv)
{
    Q_INIT_RESOURCE(ui);
    // The internal browser's page renderer shares the window's graphics context, and as
    // root Chromium's sandbox cannot start.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication application(argc, argv);
    // The browser engine reports its graphics set-up on every start.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QApplication::setApplicationName(QStringLiteral("gavelin"));
    QApplication::setQuitOnLastWindowClosed(false);

    const CommandLine commandLine = CommandLine::parse(QApplication::arguments().mid(1));
    const AppPaths paths = AppPaths::fromEnvironment();
    SingleInstance instance(paths.configDir());
    if (StartupSequence::handOver(commandLine, instance) == StartupSequence::HandOver::Exit)
        return 0;

    AppContext app(paths);
    // Help > Send the log file; the wait cursor shows while the mail is on its way.
    SupportLogSender supportLog(app);
    QObject::connect(&supportLog, &SupportLogSender::started,
                     [] { QApplication::setOverrideCursor(Qt::WaitCursor); });
    QObject::connect(&supportLog, &SupportLogSender::finished,
                     [] { QApplication::restoreOverrideCursor(); });
    std::unique_ptr<CMainFrame> frame;
    // Item pages handed over by browsers; those that come before the window wait for it.
    QPointer<CAddFromBrowser> fromBrowser;
    QStringList earlyAddresses;
    BrowserInstall::Hooks browser;
    SplashScreen splash;
    MainController controller(app, [&]() -> IMainWindow* {
        frame = std::make_unique<CMainFrame>(app);
        frame->setDocument(controller.document());
        new CListFileCommands(*frame, controller.document(), controller.documentStore());
        QObject::connect(frame.get(), &CMainFrame::exitRequested, &application,
                         [] { QCoreApplication::exit(0); });
        // A time synchronisation asked for by the options runs after the sheet has closed.
        frame->optionsHooks().synchroniseTime = [&controller] {
            QMetaObject::invokeMethod(
                &controller, [&controller] { controller.synchroniseTime(); }, Qt::QueuedConnection);
        };
        frame->setBidsViewHandler(
            [&controller](int command) { controller.handleBidsViewCommand(command); });
        CMainFrame::EngineCommands engine;
        engine.start = [&controller](const QString& id) { controller.starter().manualStart(id); };
        engine.stop = [&controller](const QString& id) { controller.starter().stop(id); };
        engine.startReadyBids = [&controller] { controller.starter().startReadyBids(); };
        engine.synchroniseTime = [&controller] { controller.synchroniseTime(); };
        frame->setEngineCommands(std::move(engine));
        frame->optionsHooks().settingsApplied = [&controller] { controller.settingsApplied(); };
        frame->optionsHooks().siteChanged = [&controller] { controller.currentSiteChanged(); };
        frame->optionsHooks().checkMailNow = [&controller] { controller.checkMail(); };
        frame->command(CmdSendLog)->setEnabled(true);
        QObject::connect(frame->command(CmdSendLog), &QAction::triggered, &supportLog,
                         [&supportLog] { supportLog.sendWithConsent(); });
        BidStarter::Hooks& starter = controller.starter().hooks();
        starter.accessGate = [&frame, &controller] {
            return CAccessPromptDlg::pass(frame.get(), controller.document().accessLock());
        };
        starter.openOptions = [&frame] { frame->openOptions(); };
        // Starting a downloaded package: the list is saved first, then the program ends.
        CUpdateWizard::Hooks install;
        install.saveList = [&controller, &app] {
            QString message;
            if (controller.document().isModified() &&
                !controller.documentStore().saveSilently(&message) && !message.isEmpty())
                app.logWrite(message, ProgramLog::Error);
        };
        install.closeProgram = [&controller] { controller.externalExit(); };
        frame->setUpdateWizardHooks(std::move(install));
        CBidsDoc& doc = controller.document();
        fromBrowser = new CAddFromBrowser(
            frame.get(), doc,
            [&frame, &doc]() -> CBidFolder* {
                ItemsLockGuard guard(doc.itemsLock());
                return doc.folderById(frame->folderTree()->currentFolderId());
            },
            frame.get());
        fromBrowser->setOptionsOpener([&frame] { frame->openOptions(); });
        browser = BrowserInstall::install(app, *frame, *fromBrowser);
        frame->itemPageCommands()->setBrowserHook(browser.open);
        frame->itemPageCommands()->setContactFormHook(browser.contactForm);
        QObject::connect(fromBrowser, &CAddFromBrowser::finished, frame.get(),
                         [&frame](bool added) {
                             if (added)
                                 frame->showBidsWindow();
                         });
        for (const QString& address : std::exchange(earlyAddresses, {})) {
            CAddFromBrowser* adder = fromBrowser;
            QMetaObject::invokeMethod(
                adder, [adder, address] { adder->add(address); }, Qt::QueuedConnection);
        }
        return frame.get();
    });
    controller.splashHandler = [&splash](const QString& text) { splash.showText(text); };
    controller.closeSplashHandler = [&splash] { splash.close(); };
    controller.startupMessageHandler = [](const IMainWindow::Question& question) {
        QMessageBox::warning(nullptr, question.caption, question.text);
    };
    const auto addFromBrowser = [&fromBrowser, &earlyAddresses](const QString& address) {
        if (fromBrowser)
            fromBrowser->add(address);
        else
            earlyAddresses << address;
    };
    // Read once the event loop runs, after the window has come up.
    controller.addUrlHandler = [&application, addFromBrowser](const QString& address) {
        QMetaObject::invokeMethod(
            &application, [addFromBrowser, address] { addFromBrowser(address); },
            Qt::QueuedConnection);
    };
    QObject::connect(&instance, &SingleInstance::addUrlRequested, &application, addFromBrowser);
    // The site's maintenance notice and, with "show the browser" on, a bid's pages.
    controller.showPageHandler = [&browser](const QString& url, const QByteArray& source,
                                            const QString& type) {
        if (!browser.open)
            return;
        if (source.isEmpty())
            browser.open(QUrl(url));
        else if (browser.showSource)
            browser.showSource(QUrl(url), source, type);
    };
    controller.wizardsHandler = [&frame](bool newVersion) { frame->startWizards(newVersion); };
    controller.showWindowHandler = [&frame](bool minimized) {
        frame->showAtStart(minimized);
        const QString screenshots = CScreenshotHook::requestedFolder();
        if (!screenshots.isEmpty())
            (new CScreenshotHook(*frame, screenshots))->start();
    };

    StartupSearchRunner savedSearches(app, controller.siteSettings());
    controller.savedSearchCheck = [&savedSearches] { savedSearches.start(); };
    MailCheckRunner mail(app, controller.document());
    controller.mailCheck = [&mail] { mail.checkNow(); };
    controller.mailNotification = [&mail](int kind, const QString& id) { mail.notify(kind, id); };
    MailControl::install(instance.registry(), mail);
    StartupSequence sequence(app, controller, {true, QApplication::applicationFilePath()});
    ControlHandlers control(app, controller);
    control.install(instance.registry());
    QObject::connect(&controller, &MainController::exitPrepared, &application, [&] {
        instance.acknowledgeExit();
        QCoreApplication::exit(0);
    });
    QObject::connect(&instance, &SingleInstance::exitRequested, &controller,
                     &MainController::externalExit);
    QObject::connect(&instance, &SingleInstance::activateRequested, &application, [&frame] {
        if (frame)
            frame->activate();
    });
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &controller,
                     [&controller](int) { controller.externalExit(); });

    int status = 1;
    if (sequence.run(commandLine))
        status = application.exec();
    sequence.finish();
    frame.reset();
    return status;
}
