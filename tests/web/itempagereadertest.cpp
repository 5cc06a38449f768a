// Item pages of the practice site, read the way every part of the program reads them: the
// page downloaded as text, the description cut, then the parser.

#include "web/itempagereader.h"
#include "model/biditem.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "support/localzone.h"
#include "support/practicesiteprocess.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class ItemPageReaderSiteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QFile::exists(PracticeSiteProcess::binaryPath()))
            GTEST_SKIP() << "the practice site is not built";
        // The site writes its end times in the zone it inherits from this process.
        m_site = std::make_unique<PracticeSiteProcess>();
        ASSERT_TRUE(m_site->isRunning()) << m_site->errorString().toStdString();
        Registry& machine = m_home.app().machineRegistry();
        for (const QString& line : m_site->profileLines()) {
            const qsizetype equals = line.indexOf('=');
            const QString key = line.left(equals);
            const QString value = line.mid(equals + 1);
            machine.writeStr("Sites", key, value);
            // The French site is the German one with the amount before the currency.
            if (key.startsWith("www.ebay.de_"))
                machine.writeStr("Sites", "www.ebay.fr_" + key.mid(12), value);
        }
    }

    ItemPageReader reader(const QString& site)
    {
        m_sites.load(m_home.app().machineRegistry(), site);
        return ItemPageReader(m_sites.profile(), m_sites.lookup("%s_KeyWord_Description"),
                              m_sites.lookup("%s_KeyWord_ReadyBid"));
    }

    ItemPageResult read(const QString& site, const QString& id)
    {
        m_item = CBidItem();
        return reader(site).read(m_item, id, &m_home.app().itemsLock(), 1000);
    }

    QJsonObject auction(const QString& id)
    {
        return QJsonDocument::fromJson(m_site->control("GET", "/auctions/" + id).body).object();
    }

    void expectMatchesSite(const ItemPageResult& result, const QString& id)
    {
        const QJsonObject a = auction(id);
        ASSERT_TRUE(result.success) << result.message().toStdString();
        EXPECT_EQ(m_item.id(), id);
        EXPECT_EQ(m_item.title(), a["title"].toString());
        EXPECT_EQ(m_item.seller(), a["seller"].toString());
        EXPECT_FLOAT_EQ(m_item.currentPrice(), float(a["currentPrice"].toDouble()));
        if (a.contains("endTime")) {
            EXPECT_EQ(m_item.endTime(), qint64(std::floor(a["endTime"].toDouble())));
        }
        EXPECT_EQ(m_item.isEnded(), a["ended"].toBool());
    }

    LocalZone m_zone;
    AppHome m_home;
    SiteSettings m_sites;
    std::unique_ptr<PracticeSiteProcess> m_site;
    CBidItem m_item;
};

} // namespace

TEST_F(ItemPageReaderSiteTest, RunningAuctionsInThreeSiteShapes)
{
    const ItemPageResult us = read("www.ebay.com", "3000000001");
    expectMatchesSite(us, "3000000001");
    EXPECT_EQ(m_item.currency(), "US $");
    EXPECT_FLOAT_EQ(us.minBid, float(auction("3000000001")["minimumBid"].toDouble()));
    EXPECT_TRUE(us.error.isEmpty()) << us.error.toStdString();

    const ItemPageResult de = read("www.ebay.de", "3000000011");
    expectMatchesSite(de, "3000000011");
    EXPECT_EQ(m_item.currency(), "EUR ");
    EXPECT_FLOAT_EQ(de.minBid, float(auction("3000000011")["minimumBid"].toDouble()));

    const ItemPageResult fr = read("www.ebay.fr", "3000000017");
    expectMatchesSite(fr, "3000000017");
    EXPECT_EQ(m_item.currency(), " EUR");
    EXPECT_EQ(m_item.highBidders(), auction("3000000017")["highBidder"].toString());
    EXPECT_FLOAT_EQ(fr.minBid, 1.5f);
}

TEST_F(ItemPageReaderSiteTest, BuyItNowMultiItemAndEndedListings)
{
    const ItemPageResult fixed = read("www.ebay.com", "3000000005");
    expectMatchesSite(fixed, "3000000005");
    EXPECT_TRUE(m_item.isBuyItNow());
    EXPECT_FLOAT_EQ(m_item.maxPrice(), m_item.currentPrice());

    const ItemPageResult multi = read("www.ebay.com", "3000000007");
    expectMatchesSite(multi, "3000000007");
    EXPECT_TRUE(m_item.isMultiItem());
    EXPECT_EQ(m_item.availableQuantity(), auction("3000000007")["quantity"].toInt());

    ASSERT_TRUE(m_site->control("POST", "/auctions/3000000002/end").ok());
    const ItemPageResult ended = read("www.ebay.com", "3000000002");
    expectMatchesSite(ended, "3000000002");
    EXPECT_TRUE(m_item.isEnded());
}

TEST_F(ItemPageReaderSiteTest, UnknownItemAndDeadSite)
{
    const ItemPageResult unknown = read("www.ebay.com", "3999999999");
    EXPECT_FALSE(unknown.success);
    EXPECT_FALSE(unknown.message().isEmpty());

    m_site.reset();
    const ItemPageResult dead = read("www.ebay.com", "3000000001");
    EXPECT_FALSE(dead.success);
    EXPECT_EQ(dead.error, "Body is empty, error!!!");
    EXPECT_TRUE(m_item.id().isEmpty());
    // The message names the address and why nothing came, also where the download and the
    // parse are separate steps (the item dialog's fetch, the engine).
    EXPECT_TRUE(dead.message().startsWith("Body is empty, error!!! (" + dead.url + ": "));
    EXPECT_TRUE(dead.message().contains("Connection refused")) << dead.message().toStdString();
    const ItemPageReader twoSteps = reader("www.ebay.com");
    QString url;
    const QString text = twoSteps.download("3000000001", &url);
    EXPECT_TRUE(twoSteps.parse(m_item, url, text).message().contains("Connection refused"));
}
