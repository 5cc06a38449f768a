// "Add item" and "Edit/View" around the item dialog: the account question, closed folders,
// the folder choice, the duplicate refusal and an edit reaching the bid.

#include "ui/itemdialogs.h"
#include "app/stringtable.h"
#include "model/bidsdoc.h"
#include "model/modelclock.h"
#include "promptrecorder.h"
#include "sitehome.h"
#include "sites/siteprice.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "ui/biditemdlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

// Works the next modal item dialog as the user would; one the work leaves open is closed.
class DialogHand
{
public:
    explicit DialogHand(std::function<void(CBidItemDlg&)> work) : m_work(std::move(work))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<CBidItemDlg*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            m_timer.stop();
            m_seen = true;
            m_work(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        m_timer.start(10);
    }
    bool seen() const { return m_seen; }

private:
    std::function<void(CBidItemDlg&)> m_work;
    QTimer m_timer;
    bool m_seen = false;
};

} // namespace

class ItemDialogsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<SiteHome>();
        app().settings().login = QStringLiteral("practice_user");
        app().settings().password = QStringLiteral("practice");
        m_doc = std::make_unique<CBidsDoc>(ListEnvironment::of(app()));
        m_doc->newDocument();
        m_doc->appendFolder(
            std::make_unique<CBidFolder>(1, CBidFolder::OpenAuctionsId, QStringLiteral("Cameras")));
        m_doc->linkParents();
    }

    void cleanup()
    {
        CItemDialogs::setOptionsOpener({});
        m_doc.reset();
        m_home.reset();
    }

    void withoutAnAccountOkOpensTheOptions()
    {
        app().settings().password.clear();
        int opened = 0;
        CItemDialogs::setOptionsOpener([&opened] { ++opened; });
        PromptRecorder prompts;
        DialogHand hand([](CBidItemDlg&) {});
        QVERIFY(!CItemDialogs::runAddItem(nullptr, *m_doc, nullptr));
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(424)});
        QCOMPARE(opened, 1);
        QVERIFY(!hand.seen());
    }

    void theBidGoesToTheChosenFolderOnceOnly()
    {
        PromptRecorder prompts;
        // A closed folder takes no new bids: the command ends without a word.
        QVERIFY(!CItemDialogs::runAddItem(nullptr, *m_doc,
                                          m_doc->folderById(CBidFolder::ClosedAuctionsId)));
        QStringList choices;
        auto fill = [&choices](CBidItemDlg& dialog) {
            for (int i = 0; i < dialog.folderBox()->count(); ++i)
                choices << dialog.folderBox()->itemText(i);
            dialog.maxPriceEdit()->setText(QStringLiteral("20"));
            dialog.folderBox()->setCurrentText(QStringLiteral("Cameras"));
            dialog.okButton()->click();
        };
        {
            DialogHand hand(fill);
            QVERIFY(
                CItemDialogs::runAddItem(nullptr, *m_doc, nullptr, QStringLiteral("0123456789")));
        }
        QCOMPARE(choices, (QStringList{"Open auctions", "Cameras", StringTable::text(238)}));
        QCOMPARE(m_doc->itemCount(), 1);
        const CBidItem* added = m_doc->itemAt(0);
        QCOMPARE(added->id(), QStringLiteral("0123456789"));
        QCOMPARE(added->folder()->name(), QStringLiteral("Cameras"));
        QCOMPARE(added->maxPrice(), 20.0f);
        QVERIFY(qAbs(added->endTime() - (ModelClock::siteNow() + 86400)) < 60);
        QVERIFY(prompts.texts().isEmpty());

        DialogHand again([](CBidItemDlg& dialog) {
            dialog.idEdit()->setText(QStringLiteral("0123456789"));
            dialog.maxPriceEdit()->setText(QStringLiteral("25"));
            dialog.okButton()->click();
        });
        QVERIFY(!CItemDialogs::runAddItem(nullptr, *m_doc, nullptr));
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(168)});
        QCOMPARE(m_doc->itemCount(), 1);
    }

    void anEditReachesTheBid()
    {
        auto item = std::make_unique<CBidItem>();
        item->setId(QStringLiteral("1234567890"));
        item->setEndTime(ModelClock::siteNow() + 3600);
        item->setMaxPrice(10.0f);
        item->setRefreshed(true);
        m_doc->appendItem(std::move(item), m_doc->folderById(CBidFolder::OpenAuctionsId));
        m_doc->setModified(false);
        DialogHand hand([](CBidItemDlg& dialog) {
            // In the current site's style (a decimal comma on the default site).
            QCOMPARE(ParseUserPrice(dialog.maxPriceEdit()->text()), 10.0f);
            dialog.maxPriceEdit()->setText(QStringLiteral("33,5"));
            dialog.activateBox()->setChecked(false);
            dialog.okButton()->click();
        });
        QVERIFY(CItemDialogs::runEditItem(nullptr, *m_doc, 0));
        const CBidItem* edited = m_doc->itemAt(0);
        QCOMPARE(edited->maxPrice(), 33.5f);
        QCOMPARE(edited->status(), quint32(StatusNotActive));
        QVERIFY(!edited->isRefreshed());
        QVERIFY(m_doc->isModified());
    }

private:
    AppContext& app() { return m_home->app(); }

    std::unique_ptr<SiteHome> m_home;
    std::unique_ptr<CBidsDoc> m_doc;
};

QTEST_MAIN(ItemDialogsTest)
#include "itemdialogstest.moc"
