#include "model/bidlistreport.h"

#include "model/bidlistfile.h"
#include "model/bidsdoc.h"
#include "model/documentstore.h"
#include "model/filecheck.h"
#include "model/safefilewriter.h"
#include "sites/endtimeparser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>
#include <charconv>

namespace {

// The float's shortest decimal form, so 12.3 prints as 12.3 and not 12.300000190734863.
double jsonPrice(float price)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, price);
    return QByteArray(buffer, result.ptr - buffer).toDouble();
}

QJsonObject folderJson(const CBidFolder& folder)
{
    QJsonObject object;
    object["id"] = folder.id();
    object["parentId"] = folder.parentId();
    object["name"] = folder.name();
    object["onlyOneItemWins"] = folder.onlyOneItemWins();
    return object;
}

QJsonObject itemJson(const CBidItem& item)
{
    QJsonObject object;
    object["folderId"] = item.folder() ? item.folder()->id() : QJsonValue();
    object["multiItem"] = item.isMultiItem();
    object["id"] = item.id();
    object["status"] = int(item.status());
    object["title"] = item.title();
    object["markedTitle"] = item.hasMarkedTitle();
    object["quantity"] = item.quantity();
    object["currentPrice"] = jsonPrice(item.currentPrice());
    object["maxPrice"] = jsonPrice(item.maxPrice());
    object["seller"] = item.seller();
    object["highBidders"] = item.highBidders();
    object["endTime"] = double(item.endTime());
    object["currency"] = item.currency();
    object["category"] = item.category();
    object["sellerRating1"] = item.sellerRating1();
    object["sellerRating2"] = item.sellerRating2();
    object["shutdownWhenFinished"] = item.shutdownWhenFinished();
    object["bids"] = item.bids();
    object["shippingCosts"] = item.shippingCosts();
    object["private"] = item.isPrivate();
    object["ended"] = item.isEnded();
    return object;
}

} // namespace

QString BidListReport::usage()
{
    return QStringLiteral("usage: gavelind list FILE [--json]\n"
                          "       gavelind list FILE --rewrite OUT\n");
}

QJsonObject BidListReport::json(const CBidsDoc& doc)
{
    QJsonArray folders;
    for (const auto& folder : doc.folders())
        folders.append(folderJson(*folder));
    QJsonArray items;
    for (const auto& item : doc.items())
        items.append(itemJson(*item));
    QJsonObject object;
    object["folders"] = folders;
    object["items"] = items;
    return object;
}

QString BidListReport::text(const CBidsDoc& doc)
{
    QString text;
    QTextStream out(&text);
    out << "Folders: " << doc.folders().size() << '\n';
    for (const auto& folder : doc.folders()) {
        out << "  " << QString::number(folder->id()).rightJustified(4) << "  parent "
            << QString::number(folder->parentId()).leftJustified(4) << "  " << folder->name();
        if (folder->onlyOneItemWins())
            out << "  (only one item wins)";
        out << '\n';
    }
    out << "Items: " << doc.items().size() << '\n';
    for (const auto& item : doc.items()) {
        const QString folder =
            item->folder() ? QString::number(item->folder()->id()) : QStringLiteral("none");
        out << "  #" << item->id() << "  " << CBidItem::statusText(item->status()) << "  folder "
            << folder << "  max " << QString::asprintf("%.2f", double(item->maxPrice()))
            << "  current " << item->currency()
            << QString::asprintf("%.2f", double(item->currentPrice())) << "  ends "
            << FormatEndTime(item->endTime()) << '\n';
        out << "      " << item->title() << "  (seller " << item->seller() << ", bidders "
            << item->highBidders() << ")\n";
    }
    return text;
}

int BidListReport::run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const bool asJson = arguments.size() == 2 && arguments.at(1) == QLatin1String("--json");
    const bool rewrite = arguments.size() == 3 && arguments.at(1) == QLatin1String("--rewrite");
    if (arguments.isEmpty() || (arguments.size() > 1 && !asJson && !rewrite)) {
        err << usage();
        return 2;
    }
    const QString path = arguments.at(0);
    CBidsDoc doc(ListEnvironment::standalone());
    // Named for what it is: a loop of links is not a missing file, a FIFO would hang.
    QString reason = FileCheck::notReadable(path);
    if (!reason.isEmpty() || !DocumentStore(doc).readFile(path, &reason)) {
        err << "gavelind list: " << DocumentStore::openFailureText(path, reason) << '\n';
        return 1;
    }
    if (rewrite) {
        const QString target = arguments.at(2);
        QString error;
        if (!SafeFileWriter::write(target, BidListFile::write(doc), &error)) {
            err << "gavelind list: " << DocumentStore::saveFailureText(target, error) << '\n';
            return 1;
        }
        out << "Wrote " << doc.folders().size() << " folders and " << doc.items().size()
            << " items to " << target << '\n';
        return 0;
    }
    if (asJson)
        out << QJsonDocument(json(doc)).toJson(QJsonDocument::Indented);
    else
        out << text(doc);
    return 0;
}
