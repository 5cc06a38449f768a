#include "ui/optionssheet.h"

#include "app/appcontext.h"
#include "ui/advancedpage.h"
#include "ui/applicationpage.h"
#include "ui/emailpatternspage.h"
#include "ui/favoritespage.h"
#include "ui/mailpage.h"
#include "ui/networkpage.h"
#include "ui/otheroptionspage.h"
#include "ui/sitesettingspage.h"
#include "ui/timeoptionspage.h"
#include "ui/updatepage.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>

namespace {

constexpr int kPageRole = Qt::UserRole + 1;
constexpr int kNoPage = -1;

// The page opened last in this run; the sheet opens there again.
int s_lastPage = COptionsSheet::TimeOptions;

} // namespace

COptionsSheet::COptionsSheet(AppContext& app, const DialUpOptions& dialUp,
                             COptionsApply::Hooks hooks, QWidget* parent)
    : QDialog(parent), m_app(app), m_hooks(std::move(hooks))
{
    // The command's name first, as the window lists show only the start of a title.
    setWindowTitle(tr("Options") + QStringLiteral(" - ") + AppContext::applicationTitle());
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(12);

    m_tree = new QTreeWidget(this);
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setFixedWidth(170);
    grid->addWidget(m_tree, 0, 0, 3, 1);

    m_heading = new QLabel(this);
    QFont headingFont = m_heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.25);
    m_heading->setFont(headingFont);
    grid->addWidget(m_heading, 0, 1);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    grid->addWidget(rule, 1, 1);

    m_stack = new QStackedWidget(this);
    grid->addWidget(m_stack, 2, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);

    auto* bidding = new QTreeWidgetItem(m_tree, QStringList{tr("Bidding")});
    addPage(bidding, new CTimeOptionsPage(app, m_stack));
    addPage(bidding, new CSiteSettingsPage(app, m_stack));
    addPage(bidding, new CEmailPatternsPage(app, m_stack));
    auto* internet = new QTreeWidgetItem(m_tree, QStringList{tr("Internet")});
    addPage(internet, new CNetworkPage(app, dialUp, m_stack));
    addPage(internet, new CUpdatePage(app, m_stack));
    addPage(internet, new CFavoritesPage(app, m_stack));
    auto* program = new QTreeWidgetItem(m_tree, QStringList{tr("Program")});
    addPage(program, new CApplicationPage(app, m_stack));
    addPage(program, new CAdvancedPage(app, m_stack));
    addPage(program, new COtherOptionsPage(app, m_stack));
    addPage(internet, new CMailPage(app, m_hooks.checkMailNow, m_stack));
    for (QTreeWidgetItem* group : {bidding, internet, program}) {
        group->setData(0, kPageRole, kNoPage);
        QFont font = group->font(0);
        font.setBold(true);
        group->setFont(0, font);
    }
    m_tree->expandAll();

    m_hint = new QLabel(m_stack);
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->setWordWrap(true);
    m_stack->addWidget(m_hint);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionsSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 3, 0, 1, 2);

    for (COptionsPage* each : m_pages)
        each->load(app.settings());

    // A short bidding interval is the first thing the user sees.
    m_initialPage = app.settings().startBefore < CTimeOptionsPage::kShortestSafeStart
                        ? int(TimeOptions)
                        : s_lastPage;
    showNode(m_nodes.at(m_initialPage));
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &COptionsSheet::nodeChanged);
    resize(760, 560);
}

void COptionsSheet::addPage(QTreeWidgetItem* group, COptionsPage* page)
{
    auto* node = new QTreeWidgetItem(group, QStringList{page->title()});
    node->setData(0, kPageRole, int(m_pages.size()));
    m_pages << page;
    m_nodes << node;
    m_stack->addWidget(page);
    connect(page, &COptionsPage::revealRequested, this, [this, node] { showNode(node); });
}

COptionsPage* COptionsSheet::page(int index) const
{
    return index >= 0 && index < m_pages.size() ? m_pages.at(index) : nullptr;
}

int COptionsSheet::currentPage() const
{
    const QTreeWidgetItem* node = m_tree->currentItem();
    return node ? node->data(0, kPageRole).toInt() : kNoPage;
}

bool COptionsSheet::selectPage(int index)
{
    if (!page(index))
        return false;
    m_tree->setCurrentItem(m_nodes.at(index));
    return currentPage() == index;
}

QString COptionsSheet::groupHint() const
{
    return m_hint->text();
}

void COptionsSheet::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_entered)
        return;
    m_entered = true;
    // Once the sheet is on the screen, so that a question about the page sits above it.
    QTimer::singleShot(0, this, [this] {
        if (COptionsPage* shown = page(currentPage()))
            shown->entered();
    });
}

void COptionsSheet::nodeChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous)
{
    if (!current)
        return;
    COptionsPage* left = previous ? page(previous->data(0, kPageRole).toInt()) : nullptr;
    if (left && !left->leave()) {
        // The page keeps the user until its question is settled.
        QSignalBlocker block(m_tree);
        m_tree->setCurrentItem(previous);
        return;
    }
    showNode(current);
    if (COptionsPage* entered = page(current->data(0, kPageRole).toInt()))
        entered->entered();
}

void COptionsSheet::showNode(QTreeWidgetItem* node)
{
    {
        QSignalBlocker block(m_tree);
        m_tree->setCurrentItem(node);
    }
    const int index = node->data(0, kPageRole).toInt();
    if (COptionsPage* shown = page(index)) {
        m_heading->setText(shown->title());
        m_stack->setCurrentWidget(shown);
        s_lastPage = index;
        return;
    }
    m_heading->setText(node->text(0));
    m_hint->setText(tr("Please select a child item of '%1'.").arg(node->text(0)));
    m_stack->setCurrentWidget(m_hint);
}

void COptionsSheet::accept()
{
    // OK leaves the page shown, with the same questions as any other way out of it.
    if (COptionsPage* shown = page(currentPage()); shown && !shown->leave())
        return;
    for (COptionsPage* each : m_pages) {
        if (!each->validate())
            return;
    }
    const AppSettings before = m_app.settings();
    for (COptionsPage* each : m_pages)
        each->store(m_app.settings());
    auto* sitePage = page<CSiteSettingsPage>(SiteSettings);
    sitePage->commitToCache();
    COptionsApply(m_app, m_hooks).commit(before, sitePage->isChanged());
    QDialog::accept();
}
