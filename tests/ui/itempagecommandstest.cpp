// The bids list's web page commands: the item page and the seller's contact form opened in
// the internal browser or the system's, the letter filled from the templates, and the
// page saved into the folder the user chose (remembered), on a thread of its own.

#include "ui/itempagecommands.h"
#include "app/stringtable.h"
#include "bidsviewfixture.h"
#include "promptrecorder.h"
#include "support/practicesiteprocess.h"
#include "ui/commandid.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

class ItemPageCommandsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_views = std::make_unique<BidsViews>();
        for (int id : {CmdViewItemPage, CmdSavePage, CmdEmailToSeller})
            m_actions[id] = new QAction(QString::number(id), &m_owner);
        m_commands = std::make_unique<CItemPageCommands>(
            m_views->app(), m_views->doc, *m_views->list,
            [this](int id) { return m_actions.count(id) ? m_actions[id] : nullptr; }, nullptr);
        m_commands->setSystemBrowser([this](const QUrl& url) {
            m_opened << url;
            return true;
        });
        SiteSettings* sites = SiteSettings::current();
        sites->setValue("www.ebay.de_URL_ViewItem",
                        "http://cgi.ebay.de/ws/eBayISAPI.dll?ViewItem&item=%s");
        sites->setValue("www.ebay.de_URL_EmailToMember",
                        "http://contact.ebay.de/ws/eBayISAPI.dll?ReturnUserEmail&requested=%s");
        m_item = m_views->addItem("4500000001", StatusActive, -1, "Lamp [seller_name]");
        m_item->setSeller("Jo & Co");
        m_views->addItem("4500000002", StatusActive, -1, "No seller yet");
        m_views->doc.changed();
    }

    void cleanup()
    {
        m_commands.reset();
        m_views.reset();
        for (auto& [id, action] : m_actions)
            delete action;
        m_actions.clear();
        m_opened.clear();
    }

    void commandsFollowTheSelection()
    {
        for (auto& [id, action] : m_actions)
            QVERIFY(!action->isEnabled());
        m_views->list->selectRow(0);
        for (auto& [id, action] : m_actions)
            QVERIFY(action->isEnabled());
        m_views->list->clearSelection();
        QVERIFY(!m_actions[CmdSavePage]->isEnabled());
    }

    void theItemPageOpensInTheBrowser()
    {
        selectItem("4500000001");
        QList<QUrl> shown;
        bool accept = true;
        m_commands->setBrowserHook([&](const QUrl& url) {
            shown << url;
            return accept;
        });
        m_actions[CmdViewItemPage]->trigger();
        const QUrl page("http://cgi.ebay.de/ws/eBayISAPI.dll?ViewItem&item=4500000001");
        QCOMPARE(shown, QList<QUrl>({page}));
        QVERIFY(m_opened.isEmpty());
        // The internal browser cannot: the system's shows it.
        accept = false;
        m_actions[CmdViewItemPage]->trigger();
        QCOMPARE(m_opened, QList<QUrl>({page}));
    }

    void theLetterGoesToTheContactForm()
    {
        selectItem("4500000001");
        PromptRecorder prompts;
        QUrl form;
        QString subject;
        QString body;
        m_commands->setContactFormHook([&](const QUrl& url, const QString& s, const QString& b) {
            form = url;
            subject = s;
            body = b;
            return true;
        });
        m_actions[CmdEmailToSeller]->trigger();
        QCOMPARE(form.toString(QUrl::FullyEncoded),
                 QStringLiteral("http://contact.ebay.de/ws/eBayISAPI.dll?ReturnUserEmail"
                                "&requested=Jo%20%26%20Co"));
        QCOMPARE(subject,
                 QStringLiteral("Letter from buyer. About bid #4500000001 (Lamp [seller_name])."));
        QCOMPARE(body, QStringLiteral("Hello, Jo & Co.\r\nI want to talk with you about..."));
        QVERIFY(m_opened.isEmpty());

        // Without the internal browser: the system's browser, the letter on the clipboard.
        m_commands->setContactFormHook({});
        m_actions[CmdEmailToSeller]->trigger();
        QCOMPARE(m_opened, QList<QUrl>({form}));
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("Letter from buyer. About bid #4500000001 (Lamp [seller_name])."
                                "\n\nHello, Jo & Co.\nI want to talk with you about..."));
        QVERIFY(logText().contains("is on the clipboard"));
        QVERIFY(prompts.texts().isEmpty());

        // No seller, no letter.
        m_opened.clear();
        selectItem("4500000002");
        m_actions[CmdEmailToSeller]->trigger();
        QVERIFY(m_opened.isEmpty());
        QCOMPARE(prompts.texts().size(), 1);
        QVERIFY(prompts.texts().first().contains("seller of item #4500000002 is not known"));
    }

    void thePageIsSavedIntoTheChosenFolder()
    {
        if (!QFile::exists(PracticeSiteProcess::binaryPath()))
            QSKIP("the practice site is not built");
        PracticeSiteProcess site;
        QVERIFY2(site.isRunning(), qPrintable(site.errorString()));
        SiteSettings::current()->setValue("www.ebay.de_URL_ViewItem",
                                          site.baseUrl() + "/ws/eBayISAPI.dll?ViewItem&item=%s");
        m_views->addItem("3000000001", StatusActive, -1, "Silver dollar");
        m_views->doc.changed();
        selectItem("3000000001");
        PromptRecorder prompts;
        QTemporaryDir parent;
        QStringList starts;
        QString chosen = parent.path();
        m_commands->setFolderChooser([&](QWidget*, const QString& start) {
            starts << start;
            return chosen;
        });
        QSignalSpy finished(m_commands.get(), &CItemPageCommands::saveFinished);

        m_actions[CmdSavePage]->trigger();
        QVERIFY(m_commands->isSaving());
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.first().first().toBool(), true);
        const QString folder = QDir(parent.path()).filePath("3000000001");
        const QString saved = QStringLiteral("Page successfully saved to %1.").arg(folder);
        QCOMPARE(prompts.texts(), QStringList({saved}));
        QVERIFY(logText().contains(saved));
        QVERIFY(QFile::exists(QDir(folder).filePath("index.html")));
        QVERIFY(QFile::exists(QDir(folder).filePath("viewitem.js")));
        QCOMPARE(starts, QStringList({QDir::homePath()}));
        QCOMPARE(m_views->app().settings().saveFolder, parent.path());
        AppSettings stored;
        stored.readKey(m_views->app().userRegistry(), &AppSettings::saveFolder);
        QCOMPARE(stored.saveFolder, parent.path());

        // A page that cannot be read: the reason in a warning; the chooser opens where the
        // last page went; cancelling it saves nothing.
        SiteSettings::current()->setValue("www.ebay.de_URL_ViewItem",
                                          "http://127.0.0.1:1/ws/eBayISAPI.dll?ViewItem&item=%s");
        prompts.clear();
        m_actions[CmdSavePage]->trigger();
        QVERIFY(finished.wait(20000));
        QCOMPARE(finished.last().first().toBool(), false);
        QCOMPARE(prompts.texts().size(), 1);
        QVERIFY(prompts.texts().first().contains("could not be downloaded"));
        QCOMPARE(starts.last(), parent.path());
        chosen.clear();
        m_actions[CmdSavePage]->trigger();
        QVERIFY(!m_commands->isSaving());
        QCOMPARE(finished.size(), 2);
    }

private:
    QString logText()
    {
        QFile file(m_views->app().log().path());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    void selectItem(const QString& id)
    {
        CBidsRightView& list = *m_views->list;
        for (int row = 0; row < list.model()->rowCount(); ++row) {
            list.selectRow(row);
            if (list.focusedItemId() == id)
                return;
        }
        QFAIL(qPrintable("no row for " + id));
    }

    std::unique_ptr<BidsViews> m_views;
    QObject m_owner;
    std::map<int, QAction*> m_actions;
    std::unique_ptr<CItemPageCommands> m_commands;
    CBidItem* m_item = nullptr;
    QList<QUrl> m_opened;
};

QTEST_MAIN(ItemPageCommandsTest)
#include "itempagecommandstest.moc"
