// libFuzzer target for the bid list reader: any bytes must read cleanly or fail cleanly,
// and a list that reads must come back unchanged after a write and a second read.

#include "model/bidcells.h"
#include "model/bidlistfile.h"
#include "model/bidsdoc.h"
#include "sites/siteconventions.h"

#include <QByteArrayView>
#include <cstdint>
#include <cstdlib>

namespace {

BidListReadContext fuzzContext()
{
    BidListReadContext context;
    context.now = 1700000000;
    context.privateKeyword = QStringLiteral("Mitgliedsname");
    context.refreshEveryMinutes = 5;
    return context;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const BidListReadContext context = fuzzContext();

    CBidsDoc doc(ListEnvironment::standalone());
    if (BidListFile::read(bytes, doc, context)) {
        doc.ensureBuiltInFolders();
        doc.setSelectedFolderId(CBidFolder::OpenAuctionsId);
        doc.rebuild();
        // The French site: the currency after the amount and "," as decimal pointer.
        const BidCells::Context cells{SiteConventions::builtIn(QStringLiteral("www.ebay.fr")),
                                      context.now};
        for (int i = 0; i < doc.itemCount() && i < 4; ++i) {
            for (int column = 0; column < BidCells::kColumnCount; ++column)
                BidCells::text(*doc.itemAt(i), column, cells);
        }
        const QByteArray written = BidListFile::write(doc);
        CBidsDoc again(ListEnvironment::standalone());
        if (!BidListFile::read(written, again, context))
            std::abort(); // the writer made a list its own reader refuses
        if (BidListFile::write(again) != written)
            std::abort(); // a second round changed the list
    }

    std::vector<std::unique_ptr<CBidItem>> items;
    BidListFile::readTransfer(bytes, items, context);
    return 0;
}
