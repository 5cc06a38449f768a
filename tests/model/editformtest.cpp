#include "model/bideditform.h"
#include "model/itemcommands.h"
#include "modelfixture.h"

namespace {

BidEditForm validForm()
{
    BidEditForm form;
    form.id = "1234567890";
    form.title = "Camera";
    form.quantity = 0;
    form.currentPrice = 10.0f;
    form.maxPriceText = "25,50";
    form.endTime = ModelTest::kNow + 3600;
    return form;
}

QStringList texts(const std::vector<EditCheck>& checks)
{
    QStringList list;
    for (const EditCheck& check : checks)
        list << QStringLiteral("%1:%2").arg(check.kind == EditCheck::Error ? "E" : "C", check.text);
    return list;
}

} // namespace

TEST_F(ModelTest, EditChecksInOrder)
{
    CBidItem page;
    BidEditForm form = validForm();
    EXPECT_TRUE(form.checks(page, kNow).empty());

    form.id = "12345";
    EXPECT_EQ(texts(form.checks(page, kNow)), QStringList{"E:Please, fill 'Id' field."});
    form.id = "12345678ab";
    EXPECT_EQ(form.checks(page, kNow).at(0).field, EditCheck::IdField);

    form = validForm();
    page.setMultiItem(true);
    page.setAvailableQuantity(2);
    EXPECT_EQ(texts(form.checks(page, kNow)),
              QStringList{"E:Number of items must be defined for Power auction."});
    form.quantity = 3;
    EXPECT_EQ(texts(form.checks(page, kNow)),
              QStringList{"E:#1234567890: Quantity must be 2 or fewer."});

    form = validForm();
    page.setMultiItem(false);
    form.endTime = kNow - 1;
    form.maxPriceText = "0,0001";
    EXPECT_EQ(texts(form.checks(page, kNow)),
              (QStringList{"C:Bidding has ended for this item.",
                           "E:Please, fill 'Maximum price' field."}));

    form = validForm();
    form.maxPriceText = "10";
    settings().warn = 1;
    settings().warnPrice = 5;
    const auto checks = form.checks(page, kNow);
    EXPECT_EQ(texts(checks),
              (QStringList{"C:Your maximum price entered is already below the required minimum "
                           "bid for this item.",
                           "C:You've entered a maximum bid of 10.00, which is over the warning "
                           "level of 5."}));
    EXPECT_EQ(checks.at(0).field, EditCheck::MaxPriceField);
    page.setHighestSeenPrice(10.0f); // the price the site itself asks for
    EXPECT_EQ(form.checks(page, kNow).size(), 1u);
}

TEST_F(ModelTest, BuyItNowChecks)
{
    CBidItem page;
    page.setBuyItNow(true);
    page.setAvailableQuantity(5);
    BidEditForm form = validForm();
    form.quantity = 1;
    form.maxPriceText.clear(); // the seller's price is paid
    EXPECT_EQ(texts(form.checks(page, kNow)),
              QStringList{"C:This item is \"Buy it now\" auction\nand will be immediately bought "
                          "at the seller's price!"});
}

TEST_F(ModelTest, EditDialogIntoTheItem)
{
    CBidItem item;
    item.setStatus(StatusStopped);
    item.setRefreshed(true);
    BidEditForm form = validForm();
    form.id = " 1234567890 ";
    form.titleTyped = true;
    form.shutdownWhenFinished = true;
    form.applyTo(item);
    EXPECT_EQ(item.id(), "1234567890");
    EXPECT_EQ(item.quantity(), -1);
    EXPECT_EQ(item.maxPrice(), 25.5f);
    EXPECT_EQ(item.status(), StatusActive);
    EXPECT_TRUE(item.hasMarkedTitle());
    EXPECT_TRUE(item.shutdownWhenFinished());
    EXPECT_FALSE(item.isRefreshed());
    EXPECT_TRUE(logText().contains(
        "Bid #1234567890 added/changed...MP=25.50, CP=10.00, CNT=-1, STATUS=1."));

    const auto statusAfter = [&item](quint32 status, bool activate) {
        item.setStatus(status);
        BidEditForm form = BidEditForm::fromItem(item);
        form.activate = activate;
        form.applyTo(item);
        return item.status();
    };
    EXPECT_EQ(statusAfter(StatusRetracted, true), StatusActive);
    EXPECT_EQ(statusAfter(StatusActiveOutbid, true), StatusActiveOutbid);
    EXPECT_EQ(statusAfter(StatusActiveOutbid, false), StatusNotActive);
    EXPECT_EQ(statusAfter(StatusStopped, false), StatusNotActive);
    EXPECT_EQ(statusAfter(StatusRunning, false), StatusRunning);
    EXPECT_EQ(statusAfter(StatusWon, true), StatusWon);
    EXPECT_TRUE(BidEditForm::isReadOnlyFor(item));

    item.setBuyItNow(true);
    form.applyTo(item);
    EXPECT_EQ(item.maxPrice(), 10.0f);
}
