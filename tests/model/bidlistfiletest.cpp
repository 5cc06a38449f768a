#include "model/bidlistfile.h"
#include "model/archivereader.h"
#include "model/archivewriter.h"
#include "modelfixture.h"

#include <QRandomGenerator>

namespace {

BidListReadContext testContext()
{
    BidListReadContext context;
    context.now = 1700000000;
    context.privateKeyword = "Mitgliedsname";
    context.refreshEveryMinutes = 5;
    return context;
}

void writeFolder(ArchiveWriter& out, qint32 parentId, qint32 id, const QString& name)
{
    out.writeInt32(parentId);
    out.writeInt32(id);
    out.writeString(name);
    out.writeUInt32(0);
}

// Fields 1 to 11 of an item entry; the seller carries the version tag.
void writeItemStart(ArchiveWriter& out, qint32 folderId, const QString& id, quint32 status,
                    const QString& seller)
{
    out.writeInt32(folderId);
    out.writeUInt32(0);
    out.writeString(id);
    out.writeUInt32(status);
    out.writeString("Title " + id);
    out.writeInt32(2);
    out.writeFloat(1.5f);
    out.writeFloat(9.25f);
    out.writeUInt32(0);
    out.writeString(seller);
    out.writeString("bidder");
}

// Every field that the file stores, with values that differ from the defaults.
std::unique_ptr<CBidItem> fullItem(const QString& id, quint32 status)
{
    auto item = std::make_unique<CBidItem>();
    item->setId(id);
    item->setStatus(status);
    item->setMultiItem(true);
    item->setTitle(QString::fromUtf8("Kamera – groß"));
    item->setMarkedTitle(true);
    item->setQuantity(3);
    item->setCurrentPrice(12.34f);
    item->setMaxPrice(56.78f);
    item->setSeller("seller$$$"); // looks like an old tag: must survive
    item->setHighBidders("a;b");
    item->setEndTime(-5000000000LL);
    item->setCurrency("EUR");
    item->setCategory("Foto >...> Kameras");
    item->setSellerRating1("120");
    item->setSellerRating2("99,5%");
    item->setShutdownWhenFinished(true);
    item->setBids("7");
    item->setShippingCosts("EUR 4,90");
    return item;
}

} // namespace

TEST_F(ModelTest, WriteAndReadBackEveryField)
{
    addFolder(1, -1, "Cameras")->setOnlyOneItemWins(true);
    m_doc.appendItem(fullItem("1111111111", StatusRunning), m_doc.folderById(1));
    m_doc.appendItem(fullItem("2222222222", StatusRunningOutbid), m_doc.folderById(-2));
    const QByteArray bytes = BidListFile::write(m_doc);
    EXPECT_EQ(bytes.count("seller$$$_VER4"), 2);

    CBidsDoc copy(ListEnvironment::standalone());
    QString error;
    ASSERT_TRUE(BidListFile::read(bytes, copy, testContext(), &error)) << error.toStdString();
    ASSERT_EQ(copy.folders().size(), 3u);
    EXPECT_EQ(copy.folderById(1)->parent(), copy.folderById(-1));
    EXPECT_TRUE(copy.folderById(1)->onlyOneItemWins());
    ASSERT_EQ(copy.itemCount(), 2);
    const CBidItem& back = *copy.itemAt(0);
    const auto original = fullItem("1111111111", StatusActive);
    EXPECT_EQ(back.folder(), copy.folderById(1));
    EXPECT_EQ(back.status(), StatusActive); // running is never stored
    EXPECT_EQ(copy.itemAt(1)->status(), StatusActiveOutbid);
    EXPECT_EQ(back.isMultiItem(), original->isMultiItem());
    EXPECT_EQ(back.title(), original->title());
    EXPECT_TRUE(back.hasMarkedTitle());
    EXPECT_EQ(back.quantity(), 3);
    EXPECT_EQ(back.currentPrice(), 12.34f);
    EXPECT_EQ(back.maxPrice(), 56.78f);
    EXPECT_EQ(back.seller(), "seller$$$");
    EXPECT_EQ(back.highBidders(), "a;b");
    EXPECT_EQ(back.endTime(), -5000000000LL);
    EXPECT_EQ(back.currency(), "EUR");
    EXPECT_EQ(back.category(), original->category());
    EXPECT_EQ(back.sellerRating1(), "120");
    EXPECT_EQ(back.sellerRating2(), "99,5%");
    EXPECT_TRUE(back.shutdownWhenFinished());
    EXPECT_EQ(back.bids(), "7");
    EXPECT_EQ(back.shippingCosts(), "EUR 4,90");
    EXPECT_EQ(back.lastRefreshTime(), kNow - 5 * 60);
    EXPECT_EQ(BidListFile::write(copy), bytes);
}

TEST_F(ModelTest, ReadsEveryVersionTagInOneFile)
{
    ArchiveWriter out;
    out.writeUInt32(2);
    writeFolder(out, 0, -1, "Open auctions");
    writeFolder(out, 0, -2, "Closed auctions");
    out.writeUInt32(6);
    writeItemStart(out, -1, "1", StatusActive, "old"); // no tag: ends after the bidders
    writeItemStart(out, -1, "2", StatusActive, "v1$$$");
    out.writeInt64(100);
    writeItemStart(out, -1, "3", StatusActive, "v2$$$#");
    out.writeInt64(200);
    out.writeString("USD");
    out.writeString("cat");
    writeItemStart(out, -1, "4", StatusActive, "v3$$$##");
    out.writeInt64(300);
    out.writeString("GBP");
    out.writeString("cat");
    out.writeString("10");
    out.writeString("20");
    writeItemStart(out, -2, "5", StatusWon, "v4_VER3");
    out.writeInt64(400);
    for (const char* text : {"CHF", "cat", "1", "2"})
        out.writeString(text);
    out.writeUInt32(1);
    writeItemStart(out, -2, "6", StatusLost, "v5_VER4");
    out.writeInt64(500);
    for (const char* text : {"EUR", "cat", "1", "2", "", "4", "5,00"}) {
        if (QByteArray(text).isEmpty())
            out.writeUInt32(0); // shutdown flag
        else
            out.writeString(text);
    }

    QString error;
    ASSERT_TRUE(BidListFile::read(out.data(), m_doc, testContext(), &error)) << error.toStdString();
    ASSERT_EQ(m_doc.itemCount(), 6);
    const auto item = [this](int i) { return m_doc.itemAt(i); };
    EXPECT_EQ(item(0)->seller(), "old");
    EXPECT_EQ(item(0)->endTime(), 1700000000); // old format: ends now
    EXPECT_EQ(item(1)->seller(), "v1");
    EXPECT_EQ(item(1)->endTime(), 100);
    EXPECT_EQ(item(2)->seller(), "v2");
    EXPECT_EQ(item(2)->currency(), "USD");
    EXPECT_EQ(item(3)->seller(), "v3");
    EXPECT_EQ(item(3)->sellerRating2(), "20");
    EXPECT_EQ(item(4)->seller(), "v4");
    EXPECT_TRUE(item(4)->shutdownWhenFinished());
    EXPECT_TRUE(item(4)->isEnded() && item(4)->isRefreshed());
    EXPECT_EQ(item(5)->seller(), "v5");
    EXPECT_EQ(item(5)->shippingCosts(), "5,00");
    EXPECT_FALSE(item(5)->shutdownWhenFinished());
    EXPECT_TRUE(logText().contains("-> Old file format loaded!"));
}

TEST_F(ModelTest, ReadingAppliesTheFileRules)
{
    ArchiveWriter out;
    out.writeUInt32(4);
    writeFolder(out, 0, -1, "Open auctions");
    writeFolder(out, -1, 7, "fOUND iTEMS");
    writeFolder(out, 9, 8, "A"); // 8 and 9 name each other as parent
    writeFolder(out, 8, 9, "B");
    out.writeUInt32(2);
    writeItemStart(out, 42, "1", StatusActive, "s_VER3"); // no folder 42
    out.writeInt64(1);
    for (const char* text : {"", "", "", ""})
        out.writeString(text);
    out.writeUInt32(0);
    out.writeInt32(-3);
    out.writeUInt32(0);
    out.writeString("2");
    out.writeUInt32(StatusActive);
    out.writeString("Lens*#*#*");
    out.writeInt32(1);
    out.writeFloat(0);
    out.writeFloat(0);
    out.writeUInt32(0);
    out.writeString("s");
    out.writeString("MITGLIEDSNAME");

    ASSERT_TRUE(BidListFile::read(out.data(), m_doc, testContext()));
    EXPECT_EQ(m_doc.folders()[1]->id(), CBidFolder::FoundItemsId);
    EXPECT_EQ(m_doc.folderById(8)->parent(), m_doc.folderById(9));
    EXPECT_EQ(m_doc.folderById(9)->parent(), nullptr); // the link closing the loop is cut
    EXPECT_EQ(m_doc.itemAt(0)->folder(), nullptr);
    EXPECT_EQ(m_doc.itemAt(1)->title(), "Lens");
    EXPECT_TRUE(m_doc.itemAt(1)->hasMarkedTitle());
    EXPECT_TRUE(m_doc.itemAt(1)->isPrivate());

    m_doc.ensureBuiltInFolders();
    const QByteArray rewritten = BidListFile::write(m_doc);
    EXPECT_EQ(m_doc.itemAt(0)->folder(), m_doc.folderById(-1));
    EXPECT_TRUE(rewritten.contains("Lens*#*#*"));
}

TEST(BidListArchive, StringForms)
{
    ArchiveWriter out;
    const QString medium(300, QChar('m'));
    const QString large(70000, QChar('L'));
    out.writeString(medium);
    out.writeString(large);
    EXPECT_EQ(out.data().mid(0, 3), QByteArray("\xFF\x2C\x01", 3));
    EXPECT_EQ(out.data().mid(303, 7), QByteArray("\xFF\xFF\xFF\x70\x11\x01\x00", 7));
    QByteArray bytes = out.data();
    bytes += QByteArray("\xFF\xFE\xFF\x02\x41\x00\xAC\x20", 8); // 16-bit "A€"
    bytes += QByteArray("\x05Gr\xFC\xDF\x80", 6);               // Windows-1252 "Grüß€"
    bytes += QByteArray("\x06Gr\xC3\xBC\xC3\x9F", 7);           // UTF-8 "Grüß"

    ArchiveReader in(bytes);
    QString value;
    ASSERT_TRUE(in.readString(value));
    EXPECT_EQ(value, medium);
    ASSERT_TRUE(in.readString(value));
    EXPECT_EQ(value, large);
    ASSERT_TRUE(in.readString(value));
    EXPECT_EQ(value, QString::fromUtf8("A€"));
    ASSERT_TRUE(in.readString(value));
    EXPECT_EQ(value, QString::fromUtf8("Grüß€"));
    ASSERT_TRUE(in.readString(value));
    EXPECT_EQ(value, QString::fromUtf8("Grüß"));
    EXPECT_TRUE(in.atEnd());
}

TEST_F(ModelTest, BadDataFailsCleanly)
{
    addFolder(1, -1, "Cameras");
    m_doc.appendItem(fullItem("1111111111", StatusActive), m_doc.folderById(1));
    const QByteArray good = BidListFile::write(m_doc);

    // Cut anywhere: a clear reason and an empty document.
    for (qsizetype size = 1; size < good.size(); ++size) {
        CBidsDoc doc(ListEnvironment::standalone());
        QString error;
        ASSERT_FALSE(BidListFile::read(good.left(size), doc, testContext(), &error)) << size;
        EXPECT_FALSE(error.isEmpty());
        EXPECT_TRUE(doc.folders().empty() && doc.items().empty());
    }

    const auto reason = [](const QByteArray& data) {
        CBidsDoc doc(ListEnvironment::standalone());
        QString error;
        EXPECT_FALSE(BidListFile::read(data, doc, testContext(), &error));
        return error;
    };
    EXPECT_TRUE(reason(QByteArray("\xFF\xFF\xFF\xFF", 4)).contains("does not fit"));
    EXPECT_TRUE(reason(QByteArray("\x01\0\0\0\0\0\0\0\0\0\0\0\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 19))
                    .contains("runs past the end"));
    EXPECT_TRUE(reason(good + "x").contains("follow the last item"));
    QByteArray badStatus = good;
    badStatus[good.indexOf("1111111111") + 10] = 11;
    EXPECT_TRUE(reason(badStatus).contains("status 11"));

    QRandomGenerator random(4242);
    for (int round = 0; round < 200; ++round) {
        QByteArray noise(int(random.bounded(1, 400)), Qt::Uninitialized);
        for (char& c : noise)
            c = char(random.bounded(256));
        CBidsDoc doc(ListEnvironment::standalone());
        BidListFile::read(noise, doc, testContext()); // must neither crash nor hang
    }
}

TEST_F(ModelTest, TransferBlockCarriesItemsWithoutFolders)
{
    const auto first = fullItem("1111111111", StatusWon);
    const auto second = fullItem("2222222222", StatusStopped);
    const QByteArray block = BidListFile::writeTransfer({first.get(), second.get()});
    std::vector<std::unique_ptr<CBidItem>> items;
    ASSERT_TRUE(BidListFile::readTransfer(block, items, testContext()));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->status(), StatusWon);
    EXPECT_EQ(items[1]->id(), "2222222222");
    EXPECT_EQ(items[1]->folder(), nullptr);
    EXPECT_FALSE(BidListFile::readTransfer(block.left(block.size() - 1), items, testContext()));
    EXPECT_TRUE(items.empty());
}
