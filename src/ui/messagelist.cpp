#include "ui/messagelist.h"

#include "ui/uiicons.h"

namespace {

constexpr int kLevelRole = Qt::UserRole + 1;

} // namespace

CMessageList::CMessageList(QWidget* parent) : QListWidget(parent)
{
    setUniformItemSizes(true);
    setAlternatingRowColors(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    setTextElideMode(Qt::ElideRight);
    setAccessibleName(tr("Messages"));
}

void CMessageList::addLine(const QString& line, int level)
{
    auto* item = new QListWidgetItem(UiIcons::level(level), line);
    item->setData(kLevelRole, level);
    item->setToolTip(line);
    insertItem(0, item);
    while (count() > kMaxLines)
        delete takeItem(count() - 1);
    setCurrentRow(0);
}

int CMessageList::levelAt(int row) const
{
    const QListWidgetItem* line = item(row);
    return line ? line->data(kLevelRole).toInt() : -1;
}

int CMessageList::lineHeight() const
{
    return qMax(iconSize().height(), fontMetrics().height()) + 2;
}
