// The File menu's list commands: Save As and Open, the recent files, open failures, the
// running-bids refusal and the save question before the list is replaced or the program ends.

#include "ui/listfilecommands.h"
#include "app/stringtable.h"
#include "model/bidsdoc.h"
#include "model/documentstore.h"
#include "model/recentfiles.h"
#include "promptrecorder.h"
#include "sitehome.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "ui/commandid.h"
#include "ui/mainframe.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class ListFileCommandsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<SiteHome>();
        // The question is asked only when changed lists are not saved on their own.
        app().settings().autoSaveList = 0;
        m_files = std::make_unique<QTemporaryDir>();
        m_doc = std::make_unique<CBidsDoc>(ListEnvironment::of(app()));
        m_doc->newDocument();
        m_store = std::make_unique<DocumentStore>(*m_doc);
        m_frame = std::make_unique<CMainFrame>(app());
        m_commands = new CListFileCommands(*m_frame, *m_doc, *m_store);
        m_commands->setFileChooser(
            [this](CListFileCommands::FileDialog kind, const QString& start) {
                m_asked << kind;
                m_starts << start;
                return m_chosen;
            });
        m_asked.clear();
        m_starts.clear();
        m_chosen.clear();
    }

    void cleanup()
    {
        m_frame.reset();
        m_store.reset();
        m_doc.reset();
        m_files.reset();
        m_home.reset();
    }

    void saveAsThenOpenGivesTheListBack()
    {
        PromptRecorder prompts;
        addItem(QStringLiteral("1234567890"), StatusActive);
        m_chosen = path(QStringLiteral("auctions")); // no extension typed
        command(CmdFileSaveAs);
        const QString saved = path(QStringLiteral("auctions.bid"));
        QVERIFY(QFile::exists(saved));
        QCOMPARE(m_doc->path(), saved);
        QVERIFY(!m_doc->isModified());
        QCOMPARE(RecentFiles(m_doc->environment()).list().value(0), saved);
        QVERIFY(m_frame->windowTitle().startsWith(QStringLiteral("auctions.bid[*]")));

        // A new list that nobody touched has nothing to lose: no change mark, no question.
        command(CmdFileNew);
        QCOMPARE(m_doc->itemCount(), 0);
        QVERIFY(prompts.texts().isEmpty());
        m_commands->refresh();
        QVERIFY(!m_frame->isWindowModified());
        m_chosen = saved;
        command(CmdFileOpen);
        QVERIFY(prompts.texts().isEmpty());
        QCOMPARE(m_doc->itemCount(), 1);
        QCOMPARE(m_doc->itemAt(0)->id(), QStringLiteral("1234567890"));
        QCOMPARE(m_doc->path(), saved);
        QCOMPARE(app().settings().initDir, saved);
        QCOMPARE(m_asked,
                 (QList<CListFileCommands::FileDialog>{CListFileCommands::FileDialog::SaveAs,
                                                       CListFileCommands::FileDialog::Open}));
        // A changed new list is asked about.
        command(CmdFileNew);
        addItem(QStringLiteral("1234567891"), StatusActive);
        m_commands->refresh();
        QVERIFY(m_frame->isWindowModified());
        prompts.queue(IMainWindow::AnswerNo);
        command(CmdFileOpen);
        QCOMPARE(prompts.texts().size(), 1);
    }

    void saveAsOpensWhereTheListLives()
    {
        // No documents folder yet: the dialog must not fall back to the current folder.
        QDir(app().paths().documentsDir()).removeRecursively();
        m_chosen.clear();
        command(CmdFileSaveAs);
        QFileInfo start(m_starts.value(0));
        QVERIFY2(start.absoluteDir().exists(), qPrintable(start.filePath()));
        QCOMPARE(start.fileName(), m_doc->title() + QStringLiteral(".bid"));

        // The last opened list's folder, then the list's own folder.
        QDir(m_files->path()).mkpath(QStringLiteral("opened"));
        app().settings().initDir = path(QStringLiteral("opened/old.bid"));
        command(CmdFileSaveAs);
        QCOMPARE(QFileInfo(m_starts.value(1)).absolutePath(), path(QStringLiteral("opened")));
        m_chosen = path(QStringLiteral("mine.bid"));
        command(CmdFileSaveAs);
        m_chosen.clear();
        command(CmdFileSaveAs);
        QCOMPARE(m_starts.value(3), path(QStringLiteral("mine.bid")));
    }

    void theRecentFilesAreCappedShortenedAndDroppedWhenGone()
    {
        PromptRecorder prompts;
        for (int i = 1; i <= 20; ++i)
            RecentFiles(m_doc->environment())
                .add(QStringLiteral("/home/someone/Documents/auction lists/%1/list %1.bid").arg(i));
        m_commands->refresh();
        const QList<QAction*> entries = m_frame->recentFilesMenu()->actions();
        QCOMPARE(entries.size(), 16);
        QVERIFY(m_frame->recentFilesMenu()->isEnabled());
        for (int i = 0; i < entries.size(); ++i) {
            const QString text = entries.at(i)->text();
            const QString shown = text.mid(text.indexOf(QLatin1Char(' ')) + 1);
            QVERIFY2(shown.size() <= 30, qPrintable(shown));
            QCOMPARE(entries.at(i)->data().toString(),
                     RecentFiles(m_doc->environment()).list().at(i));
        }
        QVERIFY(entries.at(0)->text().startsWith(QStringLiteral("&1 ")));
        const QString gone = entries.at(0)->data().toString();
        QVERIFY(gone.endsWith(QStringLiteral("list 20.bid")));

        // None of them exists: the chosen one is reported and leaves the menu.
        m_doc->setModified(false);
        entries.at(0)->trigger();
        QTRY_COMPARE(prompts.texts().size(), 1);
        QVERIFY(prompts.texts().at(0).contains(gone));
        QVERIFY(!RecentFiles(m_doc->environment()).list().contains(gone));
        QCOMPARE(m_frame->recentFilesMenu()->actions().size(), 15);
    }

    void aFileThatIsNoListIsReported()
    {
        PromptRecorder prompts;
        addItem(QStringLiteral("1234567890"), StatusActive);
        m_doc->setModified(false);
        const QString bad = path(QStringLiteral("notes.bid"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("\x05\x00\x00\x00this is not a bid list", 25));
        file.close();
        m_chosen = bad;
        command(CmdFileOpen);
        QCOMPARE(prompts.texts().size(), 1);
        QVERIFY(
            prompts.texts().at(0).startsWith(DocumentStore::openFailureText(bad, "-").chopped(2)));
        // What was read is gone; an empty list with its two folders is left.
        QCOMPARE(m_doc->itemCount(), 0);
        QVERIFY(m_doc->folderById(CBidFolder::OpenAuctionsId));
        QVERIFY(m_doc->folderById(CBidFolder::ClosedAuctionsId));
    }

    void runningBidsKeepTheListOpen()
    {
        PromptRecorder prompts;
        addItem(QStringLiteral("1234567890"), StatusRunning);
        const int before = m_doc->itemCount();
        m_chosen = path(QStringLiteral("other.bid"));
        command(CmdFileOpen);
        command(CmdFileNew);
        QCOMPARE(prompts.texts(), QStringList(2, CBidsDoc::runningBidsMessage()));
        QVERIFY(m_asked.isEmpty());
        QCOMPARE(m_doc->itemCount(), before);
    }

    void theSaveQuestionDecidesWhetherTheProgramEnds()
    {
        QSignalSpy exits(m_frame.get(), &CMainFrame::exitRequested);
        PromptRecorder prompts;
        addItem(QStringLiteral("1234567890"), StatusNotActive);

        prompts.queue(IMainWindow::AnswerCancel);
        m_frame->exitProgram();
        QCOMPARE(exits.count(), 0);
        QCOMPARE(prompts.texts(),
                 QStringList{QStringLiteral("Save changes to %1?").arg(m_doc->title())});

        // Yes on a list without a file asks where to put it; no file chosen, no exit.
        prompts.queue(IMainWindow::AnswerYes);
        m_frame->exitProgram();
        QCOMPARE(exits.count(), 0);
        QCOMPARE(m_asked,
                 QList<CListFileCommands::FileDialog>{CListFileCommands::FileDialog::SaveAs});

        prompts.queue(IMainWindow::AnswerYes);
        m_chosen = path(QStringLiteral("at exit.bid"));
        m_frame->exitProgram();
        QCOMPARE(exits.count(), 1);
        QVERIFY(QFile::exists(m_chosen));

        // Saving changed lists on their own: no question, the list goes where it lives.
        app().settings().autoSaveList = 1;
        prompts.clear();
        addItem(QStringLiteral("2234567890"), StatusNotActive);
        m_frame->exitProgram();
        QCOMPARE(exits.count(), 2);
        QVERIFY(prompts.texts().isEmpty());
        QVERIFY(!m_doc->isModified());
        QCOMPARE(m_asked.size(), 2);
    }

private:
    AppContext& app() { return m_home->app(); }
    QString path(const QString& name) const { return m_files->path() + QLatin1Char('/') + name; }
    void command(int id) { m_frame->command(id)->trigger(); }

    void addItem(const QString& id, quint32 status)
    {
        auto item = std::make_unique<CBidItem>();
        item->setId(id);
        item->setStatus(status);
        m_doc->appendItem(std::move(item), m_doc->folderById(CBidFolder::OpenAuctionsId));
        m_doc->setModified(true);
    }

    std::unique_ptr<SiteHome> m_home;
    std::unique_ptr<QTemporaryDir> m_files;
    std::unique_ptr<CBidsDoc> m_doc;
    std::unique_ptr<DocumentStore> m_store;
    std::unique_ptr<CMainFrame> m_frame;
    CListFileCommands* m_commands = nullptr;
    QList<CListFileCommands::FileDialog> m_asked;
    QStringList m_starts;
    QString m_chosen;
};

QTEST_MAIN(ListFileCommandsTest)
#include "listfilecommandstest.moc"
