#include "search/resultpage.h"

#include "app/appcontext.h"
#include "web/documentaccess.h"
#include "web/htmldocument.h"

#include <QStringList>

namespace {

// Rows named in the log line about rows left out.
constexpr qsizetype kLoggedRows = 10;

bool isClass(const HtmlElement& element, const QString& className)
{
    return element.className().compare(className, Qt::CaseInsensitive) == 0;
}

QString firstChildText(const HtmlElement& cell)
{
    const QList<HtmlElement> children = cell.children();
    return children.isEmpty() ? QString() : children.constFirst().text();
}

bool isItemNumber(const QString& id)
{
    if (id.isEmpty() || id.size() > ResultPage::kMaxItemIdLength)
        return false;
    for (const QChar c : id) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

SearchResult ResultPage::readRow(const HtmlElement& row, const ResultClassNames& names)
{
    SearchResult result;
    for (const HtmlElement& cell : row.cells()) {
        if (isClass(cell, names.item)) {
            for (const HtmlElement& input : cell.descendants()) {
                if (input.name().compare(names.itemInput, Qt::CaseInsensitive) == 0) {
                    result.itemId = input.value().trimmed();
                    break;
                }
            }
        } else if (isClass(cell, names.title)) {
            result.title = cell.text();
        } else if (isClass(cell, names.bids)) {
            result.bids = cell.text();
            result.noBids = result.bids.isEmpty();
        } else if (isClass(cell, names.price)) {
            result.price = firstChildText(cell);
        } else if (isClass(cell, names.shipping) || isClass(cell, names.shippingOld)) {
            result.shipping = firstChildText(cell);
        } else if (isClass(cell, names.timeLeft)) {
            result.timeLeft = cell.text();
        }
    }
    return result;
}

SearchPageReading ResultPage::read(const HtmlDocument& document, const ResultClassNames& names)
{
    SearchPageReading reading;
    reading.loaded = true;
    HtmlElement table;
    for (const HtmlElement& element : document.elements()) {
        if (isClass(element, names.list)) {
            table = element;
            break;
        }
    }
    if (table.isNull())
        return reading;
    reading.hasTable = true;
    const QList<HtmlElement> rows = table.rows();
    QStringList skipped;
    for (qsizetype i = 1; i < rows.size(); ++i) {
        SearchResult result = readRow(rows.at(i), names);
        if (!isItemNumber(result.itemId)) {
            // A row the site added for its own ends (an advert, a separator) or a broken
            // one: the rest of the table still counts.
            ++reading.skippedRows;
            if (skipped.size() < kLoggedRows)
                skipped << QString::number(i + 1);
            continue;
        }
        reading.results.append(std::move(result));
    }
    if (reading.skippedRows > 0) {
        AppContext::logWrite(
            QStringLiteral("Search Service: %1 result row(s) without a usable "
                           "item number left out (row %2%3).")
                .arg(reading.skippedRows)
                .arg(skipped.join(QStringLiteral(", ")),
                     reading.skippedRows > skipped.size() ? QStringLiteral(", ...") : QString()),
            ProgramLog::Warning);
    }
    return reading;
}

SearchPageReading ResultPage::load(const QString& url, const ResultClassNames& names)
{
    const std::unique_ptr<HtmlDocument> document = LoadHtmlDocument(url);
    if (!document)
        return SearchPageReading();
    return read(*document, names);
}

int ResultPage::countClass(const HtmlDocument& document, const QString& className)
{
    int count = 0;
    for (const HtmlElement& element : document.elements()) {
        if (isClass(element, className))
            ++count;
    }
    return count;
}
