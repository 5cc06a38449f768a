#include "ui/bidsframe.h"

#include "app/appcontext.h"
#include "app/stringtable.h"
#include "ui/listviewstate.h"

#include <QHeaderView>
#include <QResizeEvent>
#include <QTreeWidget>

namespace {

QWidget* placeholderTree(QWidget* parent)
{
    auto* tree = new QTreeWidget(parent);
    tree->setHeaderHidden(true);
    tree->setAccessibleName(QObject::tr("Folders"));
    return tree;
}

QWidget* placeholderList(QWidget* parent)
{
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setAlternatingRowColors(true);
    list->setAccessibleName(QObject::tr("Bids"));
    // The column titles in their default order, until the bids list takes the pane.
    QStringList titles;
    for (int column : ListViewState::defaultOrder())
        titles << StringTable::text(156 + column);
    list->setHeaderLabels(titles);
    for (int i = 0; i < titles.size(); ++i)
        list->header()->resizeSection(i, list->fontMetrics().horizontalAdvance(titles.at(i)) * 2);
    return list;
}

} // namespace

CBidsFrame::CBidsFrame(AppContext& app, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), m_app(app), m_left(leftWidth(app.settings().paneLeft)),
      m_right(rightWidth(app.settings().paneRight))
{
    setChildrenCollapsible(false);
    addWidget(placeholderTree(this));
    addWidget(placeholderList(this));
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    applyPanes();
    connect(this, &QSplitter::splitterMoved, this, [this] { rememberSizes(); });
}

int CBidsFrame::leftWidth(int stored)
{
    return stored < kMinLeft ? kDefaultLeft : stored;
}

int CBidsFrame::rightWidth(int stored)
{
    return stored < kMinRight ? kDefaultRight : stored;
}

void CBidsFrame::setPanes(QWidget* folderTree, QWidget* bidsList)
{
    rememberSizes();
    QWidget* oldTree = widget(0);
    QWidget* oldList = widget(1);
    replaceWidget(0, folderTree);
    replaceWidget(1, bidsList);
    delete oldTree;
    delete oldList;
    // The stretch lives in the widgets' size policies: the new panes need it again, or a
    // growing window widens the tree too.
    setStretchFactor(0, 0);
    setStretchFactor(1, 1);
    applyPanes();
}

void CBidsFrame::applyPanes()
{
    widget(0)->setMinimumWidth(kMinLeft);
    widget(1)->setMinimumWidth(kMinRight);
    if (!isVisible() || width() <= 0) {
        m_layoutPending = true;
        setSizes({m_left, m_right});
        return;
    }
    // The tree keeps its width; the list takes the rest of the window.
    m_layoutPending = false;
    setSizes({m_left, qMax(m_right, width() - m_left - handleWidth())});
}

void CBidsFrame::resizeEvent(QResizeEvent* event)
{
    QSplitter::resizeEvent(event);
    if (m_layoutPending && isVisible())
        applyPanes();
}

void CBidsFrame::rememberSizes()
{
    // Before the window is laid out the splitter knows no real sizes yet.
    if (!isVisible())
        return;
    const QList<int> current = sizes();
    if (current.size() == 2 && current.at(0) > 0 && current.at(1) > 0) {
        m_left = current.at(0);
        m_right = current.at(1);
    }
}

int CBidsFrame::paneLeft() const
{
    return m_left;
}

int CBidsFrame::paneRight() const
{
    return m_right;
}

void CBidsFrame::storePanes()
{
    rememberSizes();
    AppSettings& settings = m_app.settings();
    settings.paneLeft = m_left;
    settings.paneRight = m_right;
    settings.writeKeys(m_app.userRegistry(), {&AppSettings::paneLeft, &AppSettings::paneRight});
}
