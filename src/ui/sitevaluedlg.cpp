#include "ui/sitevaluedlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CSiteValueDlg::CSiteValueDlg(const QString& name, const QString& value, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Edit site parameter"));
    auto* column = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* nameLabel = new QLabel(name, this);
    nameLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_value = new QLineEdit(value, this);
    m_value->setMinimumWidth(420);
    m_value->selectAll();
    form->addRow(tr("Name:"), nameLabel);
    form->addRow(tr("Data:"), m_value);
    column->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

QString CSiteValueDlg::value() const
{
    return m_value->text();
}
