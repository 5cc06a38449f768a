// Item pages handed over by a browser: the site chosen from the address, the practice
// site's page read into the item dialog with that site's keywords, and the refusals.

#include "ui/addfrombrowser.h"
#include "app/stringtable.h"
#include "model/bidsdoc.h"
#include "promptrecorder.h"
#include "sitehome.h"
#include "sites/sitehosts.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "support/practicesiteprocess.h"
#include "ui/biditemdlg.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

class AddFromBrowserTest : public QObject
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
        m_doc.reset();
        m_home.reset();
    }

    void theSiteComesFromTheHost()
    {
        QCOMPARE(SiteHosts::siteOfAddress("http://cgi.ebay.com/ws/eBayISAPI.dll?ViewItem&item=1"),
                 int(SiteHosts::UnitedStates));
        QCOMPARE(SiteHosts::siteOfAddress("https://www.ebay.com.au/itm/1"),
                 int(SiteHosts::Australia));
        QCOMPARE(SiteHosts::siteOfAddress("http://CGI.EBAY.CO.UK/x"),
                 int(SiteHosts::UnitedKingdom));
        QCOMPARE(SiteHosts::siteOfAddress("http://ebay.de/"), int(SiteHosts::Germany));
        // Only the host counts: not the query, not a look-alike domain.
        QCOMPARE(SiteHosts::siteOfAddress("http://www.ebay.com/?back=www.ebay.de"),
                 int(SiteHosts::UnitedStates));
        QCOMPARE(SiteHosts::siteOfAddress("http://www.ebay.de.example.org/itm/1"),
                 int(SiteHosts::Unknown));
        QCOMPARE(SiteHosts::siteOfAddress("http://notebay.com/"), int(SiteHosts::Unknown));
        QCOMPARE(SiteHosts::siteOfAddress("not an address"), int(SiteHosts::Unknown));

        PracticeSiteProcess site;
        QVERIFY2(site.isRunning(), qPrintable(site.errorString()));
        pointAt(site, QStringLiteral("www.ebay.com"));
        const SiteSettings* sites = &m_home->sites();
        const auto german = CAddFromBrowser::target(
            "http://cgi.ebay.de/ws/eBayISAPI.dll?ViewItem&item=4500000001&r=1", sites);
        QCOMPARE(german.site, QStringLiteral("www.ebay.de"));
        QCOMPARE(german.itemId, QStringLiteral("4500000001"));
        QCOMPARE(CAddFromBrowser::target("https://www.ebay.de/itm/Brass-compass/4500000002", sites)
                     .itemId,
                 QStringLiteral("4500000002"));
        // A host of no site's domain: the listed site whose item pages live there.
        const auto practice = CAddFromBrowser::target(
            "gavelin:" + QUrl::toPercentEncoding(site.baseUrl() +
                                                 "/ws/eBayISAPI.dll?ViewItem&item=4500000003"),
            sites);
        QCOMPARE(practice.site, QStringLiteral("www.ebay.com"));
        QCOMPARE(practice.itemId, QStringLiteral("4500000003"));
        for (const QString& refused :
             {QStringLiteral("http://www.example.org/itm/4500000001"),
              QStringLiteral("https://www.ebay.co.uk/itm/4500000001"), // a site not listed
              QStringLiteral("http://cgi.ebay.com/ws/eBayISAPI.dll?MyEbay"),
              QStringLiteral("file:///etc/passwd"), QStringLiteral("javascript:alert(1)")})
            QVERIFY2(!CAddFromBrowser::target(refused, sites).refusal.isEmpty(),
                     qPrintable(refused));
    }

    void anItemAddressOpensTheFilledDialog()
    {
        PracticeSiteProcess site;
        QVERIFY2(site.isRunning(), qPrintable(site.errorString()));
        // The current site's German keywords would not read the United States page.
        pointAt(site, QStringLiteral("www.ebay.de"));
        QVERIFY(site.control("POST", "/auctions",
                             R"({"item":"4500000001","site":"us","title":"Brass compass",
                "seller":"old_sailor","startPrice":5,"endsIn":7200})")
                    .ok());
        QVERIFY(site.control("POST", "/auctions",
                             R"({"item":"4500000002","site":"us","title":"Sealed envelope",
                "startPrice":3,"endsIn":7200,"private":true,
                "bids":[{"bidder":"rival_anna","max":9,"in":-60}]})")
                    .ok());
        const QString itemPage = site.baseUrl() + "/ws/eBayISAPI.dll?ViewItem&item=";

        PromptRecorder prompts;
        CBidFolder* cameras = m_doc->folderById(1);
        CAddFromBrowser adder(nullptr, *m_doc, [cameras] { return cameras; });
        QSignalSpy finished(&adder, &CAddFromBrowser::finished);
        QStringList seen;
        adder.setDialogRunner([&seen](CBidItemDlg& dialog) {
            seen << dialog.idEdit()->text() + '|' + dialog.titleEdit()->text() + '|' +
                        dialog.sellerEdit()->text();
            dialog.maxPriceEdit()->setText(QStringLiteral("30"));
            dialog.accept();
            return dialog.result();
        });

        adder.add(itemPage + "4500000001");
        QVERIFY(adder.isBusy()); // the page is read off the window's thread
        QVERIFY(finished.wait(30000));
        QVERIFY2(finished.last().at(0).toBool(), qPrintable(prompts.texts().join('\n')));
        QCOMPARE(seen, QStringList{"4500000001|Brass compass|old_sailor"});
        const CBidItem* added = m_doc->openItemById(QStringLiteral("4500000001"));
        QVERIFY(added);
        QCOMPARE(added->folder(), cameras); // "Add to current selected folder"
        QCOMPARE(added->maxPrice(), 30.0f);

        // The same page again is refused at OK and leaves one bid.
        adder.add(itemPage + "4500000001");
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.last().at(0).toBool(), false);
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(168)});
        QCOMPARE(int(m_doc->items().size()), 1);

        // A private auction switches "only one item wins" off for its folder.
        prompts.clear();
        cameras->setOnlyOneItemWins(true);
        adder.add(itemPage + "4500000002");
        QVERIFY(finished.wait(30000));
        QVERIFY(finished.last().at(0).toBool());
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(277)});
        QVERIFY(!cameras->onlyOneItemWins());

        // Not an item page: told so, no dialog, no download, nothing added.
        prompts.clear();
        const QString help = site.baseUrl() + "/help/buy/bid-retract.html";
        adder.add(help);
        QCOMPARE(finished.size(), 4);
        QCOMPARE(prompts.texts(), QStringList{CAddFromBrowser::notAnItemPageText(help)});
        QVERIFY(m_home->logText().contains(CAddFromBrowser::notAnItemPageText(help)));
        // A number the site does not know: the page-format message.
        prompts.clear();
        adder.add(itemPage + "4599999999");
        QVERIFY(finished.wait(30000));
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(204)});
        QCOMPARE(seen.size(), 3);
        QCOMPARE(int(m_doc->items().size()), 2);

        // A shown page far larger than any item page is refused unread.
        prompts.clear();
        adder.addShownPage(itemPage + "4500000001", QString(9 << 20, QLatin1Char('x')));
        QCOMPARE(finished.last().at(0).toBool(), false);
        QCOMPARE(prompts.texts(), QStringList{StringTable::text(204)});
        QCOMPARE(seen.size(), 3);
    }

private:
    AppContext& app() { return m_home->app(); }

    void pointAt(const PracticeSiteProcess& site, const QString& currentSite)
    {
        site.writeProfile(app().machineRegistry());
        app().settings().currentSite = currentSite;
        m_home->sites().load(app().machineRegistry(), currentSite);
    }

    std::unique_ptr<SiteHome> m_home;
    std::unique_ptr<CBidsDoc> m_doc;
};

QTEST_MAIN(AddFromBrowserTest)
#include "addfrombrowsertest.moc"
