#include "ui/columnsdlg.h"

#include "model/bidcells.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kColumnRole = Qt::UserRole;

} // namespace

CColumnsDlg::CColumnsDlg(const ListViewState& state, QWidget* parent)
    : QDialog(parent), m_state(state)
{
    setWindowTitle(tr("View/Sort Columns"));
    auto* column = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    m_columns = new QListWidget(this);
    m_columns->setAccessibleName(tr("Columns"));
    // Check boxes one under another need room between them to be told apart.
    m_columns->setSpacing(2);
    for (int number : state.order) {
        auto* entry = new QListWidgetItem(BidCells::columnTitle(number), m_columns);
        entry->setData(kColumnRole, number);
        entry->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        entry->setCheckState(state.isVisible(number) ? Qt::Checked : Qt::Unchecked);
    }
    m_columns->setCurrentRow(0);
    // All twelve columns in sight without scrolling.
    m_columns->setMinimumHeight(m_columns->count() *
                                    (m_columns->sizeHintForRow(0) + 2 * m_columns->spacing()) +
                                2 * m_columns->frameWidth());
    top->addWidget(m_columns, 1);

    auto* buttons = new QVBoxLayout;
    m_up = new QPushButton(tr("Move &Up"), this);
    m_down = new QPushButton(tr("Move &Down"), this);
    m_viewHide = new QPushButton(tr("&View/Hide"), this);
    for (QPushButton* button : {m_up, m_down, m_viewHide}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    top->addLayout(buttons);
    column->addLayout(top, 1);

    auto* form = new QFormLayout;
    m_sortOn = new QComboBox(this);
    m_sortOn->addItem(tr("(not sorted)"), -1);
    for (int number = 0; number < ListViewState::kColumns; ++number)
        m_sortOn->addItem(BidCells::columnTitle(number), number);
    m_sortOn->setCurrentIndex(qMax(0, m_sortOn->findData(state.sortColumn)));
    form->addRow(tr("Sort columns on"), m_sortOn);
    column->addLayout(form);
    m_descending = new QCheckBox(tr("Descending order"), this);
    m_descending->setChecked(!state.sortAscending);
    m_status = new QCheckBox(tr("Keep sorting under the status"), this);
    m_status->setChecked(state.sortByStatus);
    column->addWidget(m_descending);
    column->addWidget(m_status);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(box);

    connect(m_up, &QPushButton::clicked, this, [this] { moveCurrent(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { moveCurrent(1); });
    connect(m_viewHide, &QPushButton::clicked, this, &CColumnsDlg::toggleCurrent);
    connect(m_columns, &QListWidget::currentRowChanged, this, &CColumnsDlg::updateButtons);
    connect(m_columns, &QListWidget::itemChanged, this, &CColumnsDlg::keepOneShown);
    updateButtons();
}

void CColumnsDlg::moveCurrent(int step)
{
    const int row = m_columns->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= m_columns->count())
        return;
    QListWidgetItem* entry = m_columns->takeItem(row);
    m_columns->insertItem(target, entry);
    m_columns->setCurrentRow(target);
}

void CColumnsDlg::toggleCurrent()
{
    if (QListWidgetItem* entry = m_columns->currentItem())
        entry->setCheckState(entry->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void CColumnsDlg::keepOneShown()
{
    // A list without a single column could not even be right-clicked to bring one back.
    for (int row = 0; row < m_columns->count(); ++row) {
        if (m_columns->item(row)->checkState() == Qt::Checked)
            return;
    }
    if (QListWidgetItem* entry = m_columns->currentItem())
        entry->setCheckState(Qt::Checked);
    else
        m_columns->item(0)->setCheckState(Qt::Checked);
}

void CColumnsDlg::updateButtons()
{
    const int row = m_columns->currentRow();
    m_up->setEnabled(row > 0);
    m_down->setEnabled(row >= 0 && row + 1 < m_columns->count());
    m_viewHide->setEnabled(row >= 0);
}

ListViewState CColumnsDlg::result() const
{
    ListViewState state = m_state;
    for (int row = 0; row < m_columns->count(); ++row) {
        const QListWidgetItem* entry = m_columns->item(row);
        const int number = entry->data(kColumnRole).toInt();
        state.order[size_t(row)] = number;
        state.hidden[size_t(number)] = entry->checkState() != Qt::Checked;
    }
    state.sortColumn = m_sortOn->currentData().toInt();
    state.sortAscending = !m_descending->isChecked();
    state.sortByStatus = m_status->isChecked();
    return state;
}
