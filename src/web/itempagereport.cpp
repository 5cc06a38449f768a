#include "web/itempagereport.h"

#include "app/appcontext.h"
#include "model/biditem.h"
#include "model/filecheck.h"
#include "sites/siteaccess.h"
#include "sites/sitehosts.h"
#include "sites/sitesettings.h"
#include "web/downloadoptions.h"
#include "web/htmldocument.h"
#include "web/itempagereader.h"
#include "web/urlsource.h"

#include <QJsonDocument>
#include <QTextStream>
#include <cmath>

namespace {

// Prices are cents held in floats; the report shows them as the page wrote them.
double cents(float value)
{
    return std::isfinite(value) ? std::round(double(value) * 100.0) / 100.0 : 0.0;
}

bool isAddress(const QString& source)
{
    return source.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           source.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

void usage(QTextStream& err)
{
    err << "usage: gavelind parse-item [--site NAME] [--text|--body-text] FILE|URL\n"
           "  FILE      a saved item page (HTML), or its body text with --text\n"
           "  URL       an item page to download (http://)\n"
           "  --site    read the page with that site's wording (default: the current site)\n"
           "  --text    FILE holds the page's body text, not HTML\n"
           "  --body-text  print the page's body text instead of the parsed fields\n";
}

} // namespace

QString ItemPageReport::bodyTextOfText(const QByteArray& text)
{
    QString body = QString::fromUtf8(text);
    if (!body.contains(QLatin1String("\r\n")))
        body.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return body;
}

QJsonObject ItemPageReport::toJson(const CBidItem& item, const ItemPageResult& result)
{
    QJsonObject json;
    json[QStringLiteral("success")] = result.success;
    json[QStringLiteral("error")] = result.success ? result.error : result.message();
    json[QStringLiteral("minBid")] = cents(result.minBid);
    json[QStringLiteral("id")] = item.id();
    json[QStringLiteral("title")] = item.title();
    json[QStringLiteral("category")] = item.category();
    json[QStringLiteral("currency")] = item.currency();
    json[QStringLiteral("currentPrice")] = cents(item.currentPrice());
    json[QStringLiteral("maxPrice")] = cents(item.maxPrice());
    json[QStringLiteral("endTime")] = item.endTime();
    json[QStringLiteral("bids")] = item.bids();
    json[QStringLiteral("startingBid")] = item.startingBid();
    json[QStringLiteral("shippingCosts")] = item.shippingCosts();
    json[QStringLiteral("availableQuantity")] = item.availableQuantity();
    json[QStringLiteral("multiItem")] = item.isMultiItem();
    json[QStringLiteral("buyItNow")] = item.isBuyItNow();
    json[QStringLiteral("ended")] = item.isEnded();
    json[QStringLiteral("private")] = item.isPrivate();
    json[QStringLiteral("highBidders")] = item.highBidders();
    json[QStringLiteral("multiItemPriceText")] = item.multiItemPriceText();
    json[QStringLiteral("seller")] = item.seller();
    json[QStringLiteral("sellerRating1")] = item.sellerRating1();
    json[QStringLiteral("sellerRating2")] = item.sellerRating2();
    json[QStringLiteral("status")] = static_cast<int>(item.status());
    json[QStringLiteral("highestSeenPrice")] = cents(item.highestSeenPrice());
    return json;
}

int ItemPageReport::run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QString site;
    QString source;
    bool textFile = false;
    bool printBodyText = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (word == QLatin1String("--site") && i + 1 < arguments.size()) {
            site = arguments[++i];
        } else if (word == QLatin1String("--text")) {
            textFile = true;
        } else if (word == QLatin1String("--body-text")) {
            printBodyText = true;
        } else if (word.startsWith(QLatin1String("--")) || !source.isEmpty()) {
            usage(err);
            return 2;
        } else {
            source = word;
        }
    }
    if (source.isEmpty()) {
        usage(err);
        return 2;
    }

    if (!site.isEmpty()) {
        AppContext* app = AppContext::current();
        SiteSettings* sites = SiteSettings::current();
        if (SiteHosts::siteNumber(site) == 0 && (!sites || !sites->siteList().contains(site))) {
            err << "gavelind parse-item: unknown site " << site << " (see gavelind sites)\n";
            return 2;
        }
        // Only this run reads with that site; the user's choice stays as it is.
        if (app && sites)
            sites->setCurrentSite(site, app->machineRegistry());
    }

    const ItemPageReader reader;
    QString body;
    QString url;
    if (isAddress(source)) {
        url = source;
        const UrlSourceResult page = fetchUrlSource(source, true);
        if (page.failed()) {
            err << "gavelind parse-item: " << source << " gave no page: " << page.failure << '\n';
            return 2;
        }
        body = page.text;
    } else {
        // No larger than a page that would be downloaded, and no device or FIFO that never
        // ends.
        QByteArray bytes;
        QString reason;
        if (!FileCheck::readAll(source, DownloadOptions::maxPageBytes(), &bytes, &reason)) {
            err << "gavelind parse-item: cannot read " << source << ": " << reason << '\n';
            return 2;
        }
        if (!textFile) {
            const auto document = HtmlDocument::fromBytes(bytes, QByteArray());
            if (document->refused()) {
                err << "gavelind parse-item: " << source << ": " << HtmlDocument::refusalText()
                    << '\n';
                return 2;
            }
            body = document->bodyText();
        } else {
            body = bodyTextOfText(bytes);
        }
        url = reader.viewItemUrl(QString());
    }

    if (printBodyText) {
        out << body;
        if (!body.endsWith(QLatin1String("\r\n")))
            out << "\r\n";
        return 0;
    }

    CBidItem item;
    const ItemPageResult result = reader.parse(item, url, body);
    out << QJsonDocument(toJson(item, result)).toJson(QJsonDocument::Indented);
    return result.success ? 0 : 1;
}
