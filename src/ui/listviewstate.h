#pragma once

#include <QString>
#include <array>

class AppContext;
struct AppSettings;

// What the bids list remembers between runs (Options\List): the display order of the
// twelve columns, which are hidden, their widths and the sort keys. Damaged stored values
// fall back to the defaults instead of reaching the view.
class ListViewState
{
public:
    static constexpr int kColumns = 12;
    using Columns = std::array<int, kColumns>;
    using Flags = std::array<bool, kColumns>;

    // Display position -> column number.
    Columns order;
    // Per column number.
    Flags hidden;
    // Per column number, in pixels; 0 = no width remembered (the view's default).
    Columns widths;
    int sortColumn = -1;
    bool sortAscending = true;
    bool sortByStatus = false;

    ListViewState();

    static Columns defaultOrder();
    static ListViewState fromSettings(const AppSettings& settings);
    void toSettings(AppSettings& settings) const;
    // toSettings(), and the six values written to the user's registry.
    void store(AppContext& app) const;

    // "%d,%d,...," with every value followed by a comma.
    static QString formatList(const Columns& values);
    static QString formatFlags(const Flags& flags);
    // A permutation of 0..11 with exactly twelve entries; false (and `order` untouched)
    // for anything else.
    static bool parseOrder(const QString& text, Columns& order);
    // Entry i is "1": column i hidden. Missing or other entries leave the column shown;
    // a list that would hide every column is ignored.
    static Flags parseHidden(const QString& text);
    // Widths in pixels; a missing, empty, non-numeric or absurd entry gives 0.
    static Columns parseWidths(const QString& text);

    bool isVisible(int column) const;
    int visibleCount() const;
};
