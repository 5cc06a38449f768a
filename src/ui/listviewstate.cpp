#include "ui/listviewstate.h"

#include "app/appcontext.h"
#include "app/appsettings.h"

#include <QStringList>
#include <algorithm>

namespace {

// Wider than any screen: a larger stored width is damage, not a choice.
constexpr int kMaxWidth = 10000;

QStringList entries(const QString& text)
{
    // Every value is followed by a comma, so the text ends with an empty entry.
    QStringList parts = text.split(QLatin1Char(','));
    if (!parts.isEmpty() && parts.last().trimmed().isEmpty())
        parts.removeLast();
    return parts;
}

} // namespace

ListViewState::ListViewState() : order(defaultOrder())
{
    hidden.fill(false);
    widths.fill(0);
}

ListViewState::Columns ListViewState::defaultOrder()
{
    // The key table's default text is the one place the order is written down.
    static const Columns order = [] {
        Columns parsed{};
        parseOrder(AppSettings().columnOrder, parsed);
        return parsed;
    }();
    return order;
}

ListViewState ListViewState::fromSettings(const AppSettings& settings)
{
    ListViewState state;
    parseOrder(settings.columnOrder, state.order);
    state.hidden = parseHidden(settings.columnHide);
    state.widths = parseWidths(settings.columnSize);
    state.sortColumn =
        settings.sortColumn >= 0 && settings.sortColumn < kColumns ? settings.sortColumn : -1;
    state.sortAscending = settings.sortAsc != 0;
    state.sortByStatus = settings.sortStatus != 0;
    return state;
}

void ListViewState::toSettings(AppSettings& settings) const
{
    settings.columnOrder = formatList(order);
    settings.columnHide = formatFlags(hidden);
    settings.columnSize = formatList(widths);
    settings.sortColumn = sortColumn;
    settings.sortAsc = sortAscending ? 1 : 0;
    settings.sortStatus = sortByStatus ? 1 : 0;
}

void ListViewState::store(AppContext& app) const
{
    AppSettings& settings = app.settings();
    toSettings(settings);
    settings.writeKeys(app.userRegistry(), {&AppSettings::sortStatus, &AppSettings::sortColumn,
                                            &AppSettings::sortAsc, &AppSettings::columnOrder,
                                            &AppSettings::columnHide, &AppSettings::columnSize});
}

QString ListViewState::formatList(const Columns& values)
{
    QString text;
    for (int value : values)
        text += QString::number(value) + QLatin1Char(',');
    return text;
}

QString ListViewState::formatFlags(const Flags& flags)
{
    Columns values;
    std::transform(flags.begin(), flags.end(), values.begin(), [](bool on) { return on ? 1 : 0; });
    return formatList(values);
}

bool ListViewState::parseOrder(const QString& text, Columns& order)
{
    const QStringList parts = entries(text);
    if (parts.size() != kColumns)
        return false;
    Columns parsed;
    Flags seen;
    seen.fill(false);
    for (int i = 0; i < kColumns; ++i) {
        bool ok = false;
        const int column = parts.at(i).trimmed().toInt(&ok);
        if (!ok || column < 0 || column >= kColumns || seen[size_t(column)])
            return false;
        seen[size_t(column)] = true;
        parsed[size_t(i)] = column;
    }
    order = parsed;
    return true;
}

ListViewState::Flags ListViewState::parseHidden(const QString& text)
{
    Flags flags;
    flags.fill(false);
    const QStringList parts = entries(text);
    for (int i = 0; i < kColumns && i < parts.size(); ++i)
        flags[size_t(i)] = parts.at(i).trimmed() == QLatin1String("1");
    if (std::all_of(flags.begin(), flags.end(), [](bool on) { return on; }))
        flags.fill(false);
    return flags;
}

ListViewState::Columns ListViewState::parseWidths(const QString& text)
{
    Columns widths;
    widths.fill(0);
    const QStringList parts = entries(text);
    for (int i = 0; i < kColumns && i < parts.size(); ++i) {
        bool ok = false;
        const int width = parts.at(i).trimmed().toInt(&ok);
        if (ok && width > 0 && width <= kMaxWidth)
            widths[size_t(i)] = width;
    }
    return widths;
}

bool ListViewState::isVisible(int column) const
{
    return column >= 0 && column < kColumns && !hidden[size_t(column)];
}

int ListViewState::visibleCount() const
{
    return int(std::count(hidden.begin(), hidden.end(), false));
}
