// Checked search results becoming bids: the folder, duplicates and both price rules.

#include "search/founditems.h"
#include "app/itemslock.h"
#include "model/bidsdoc.h"
#include "sites/bidincrement.h"
#include "support/apphome.h"

#include <gtest/gtest.h>

namespace {

SearchResult result(const QString& id, const QString& price, const QString& bids)
{
    SearchResult r;
    r.itemId = id;
    r.title = "Lot " + id;
    r.price = price;
    r.bids = bids;
    r.noBids = bids.isEmpty();
    r.shipping = "US $4.00";
    return r;
}

class FoundItemsTest : public ::testing::Test
{
protected:
    void SetUp() override { m_doc.newDocument(); }

    const CBidItem* item(const QString& id) const
    {
        for (const auto& i : m_doc.items()) {
            if (i->id() == id)
                return i.get();
        }
        return nullptr;
    }

    void addExisting(const QString& id, qint32 folder)
    {
        auto existing = std::make_unique<CBidItem>();
        existing->setId(id);
        m_doc.appendItem(std::move(existing), m_doc.folderById(folder));
    }

    AppHome m_home;
    CBidsDoc m_doc{ListEnvironment::of(m_home.app())};
    const QString m_us = "www.ebay.com";
    const QString m_de = "www.ebay.de";
};

} // namespace

TEST_F(FoundItemsTest, CurrentPricePlusIncrementIntoANewFoundItemsFolder)
{
    addExisting("3000000003", CBidFolder::OpenAuctionsId);
    addExisting("3000000004", CBidFolder::ClosedAuctionsId);
    FoundItems found(m_doc, m_us, SiteConventions::builtIn(m_us));
    FoundItemsOptions options;
    options.setActive = true;
    options.folderName = "Found items";
    const FoundItemsOutcome outcome =
        found.add({result("3000000001", "US $12.00", "2"), result("3000000002", "US $20.00", ""),
                   result("03000000003", "US $5.00", "1"), result("3000000004", "US $7.00", "1"),
                   result("3000000005", "see description", "1")},
                  options);
    EXPECT_EQ(outcome.added, 3);
    EXPECT_EQ(outcome.duplicates, 1); // the same number with a leading zero
    EXPECT_EQ(outcome.unreadable, 1);
    ASSERT_TRUE(outcome.folderCreated);
    EXPECT_EQ(outcome.folder->id(), CBidFolder::FoundItemsId);
    EXPECT_EQ(outcome.folder->parentId(), CBidFolder::OpenAuctionsId);
    EXPECT_EQ(m_doc.selectedFolderId(), CBidFolder::FoundItemsId);
    EXPECT_TRUE(m_doc.isModified());

    const CBidItem* bid = item("3000000001");
    ASSERT_TRUE(bid);
    EXPECT_FLOAT_EQ(bid->maxPrice(), 12.0f + BidIncrement(12.0f, m_us));
    EXPECT_EQ(bid->status(), StatusActive);
    EXPECT_EQ(bid->quantity(), 1);
    EXPECT_EQ(bid->bids(), "2");
    EXPECT_EQ(bid->shippingCosts(), "US $4.00");
    EXPECT_EQ(bid->folder(), outcome.folder);
    // Buy It Now: its own price, never Active.
    const CBidItem* offer = item("3000000002");
    ASSERT_TRUE(offer);
    EXPECT_FLOAT_EQ(offer->maxPrice(), 20.0f);
    EXPECT_EQ(offer->status(), StatusNotActive);
    // Only open-type folders hold duplicates.
    EXPECT_EQ(m_doc.itemCount(), 5);
    EXPECT_TRUE(m_home.logText().contains("already present in auctions/bids list. (#03000000003)"));
    EXPECT_TRUE(m_home.logText().contains("Folder \"Found items\" added."));

    // Now the folder exists: chosen again, not made again.
    EXPECT_EQ(FoundItems::folderChoices(m_doc).count("Found items"), 1);
    const auto again = found.add({result("3000000006", "US $1.00", "1")}, options);
    EXPECT_FALSE(again.folderCreated);
    EXPECT_EQ(again.folder, outcome.folder);
}

TEST_F(FoundItemsTest, GermanPricesTypedPriceAndARenamedFoundItemsFolder)
{
    FoundItems found(m_doc, m_de, SiteConventions::builtIn(m_de));
    FoundItemsOptions options;
    options.folderName = "Open auctions";
    found.add({result("3000000011", "EUR 1.234,50", "3"), result("3000000012", "EUR 1.234,50", "")},
              options);
    EXPECT_FLOAT_EQ(item("3000000011")->maxPrice(), 1234.5f + BidIncrement(1234.5f, m_de));
    EXPECT_FLOAT_EQ(item("3000000012")->maxPrice(), 1234.5f);
    EXPECT_EQ(item("3000000011")->status(), StatusNotActive);
    EXPECT_EQ(item("3000000011")->folder()->id(), CBidFolder::OpenAuctionsId);

    options.maxPrice = FoundItemsOptions::MaxPrice::Typed;
    options.typedPrice = 99.0f;
    EXPECT_FLOAT_EQ(*found.maxPriceFor(result("1", "EUR 5,00", "1"), options), 99.0f);
    EXPECT_FLOAT_EQ(*found.maxPriceFor(result("1", "EUR 5,00", ""), options), 5.0f);

    // The user renamed "Found items": a new one must not take its id.
    m_doc.appendFolder(std::make_unique<CBidFolder>(CBidFolder::FoundItemsId,
                                                    CBidFolder::OpenAuctionsId, "Treasures"));
    m_doc.linkParents();
    options.folderName = "Found items";
    const auto outcome = found.add({result("3000000013", "EUR 2,00", "1")}, options);
    ASSERT_TRUE(outcome.folderCreated);
    EXPECT_NE(outcome.folder->id(), CBidFolder::FoundItemsId);
    EXPECT_EQ(m_doc.folderById(CBidFolder::FoundItemsId)->name(), "Treasures");
}
