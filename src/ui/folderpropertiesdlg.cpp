#include "ui/folderpropertiesdlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CFolderPropertiesDlg::CFolderPropertiesDlg(const QString& folderName, bool onlyOneItemWins,
                                           QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Folder properties"));
    auto* column = new QVBoxLayout(this);
    auto* name = new QLabel(folderName, this);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    column->addWidget(name);
    m_onlyOne = new QCheckBox(tr("only one item wins"), this);
    m_onlyOne->setToolTip(tr("When an item of this folder is won, the other items of the folder "
                             "are deactivated, or stopped with their bids retracted."));
    m_onlyOne->setChecked(onlyOneItemWins);
    column->addWidget(m_onlyOne);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
}

bool CFolderPropertiesDlg::onlyOneItemWins() const
{
    return m_onlyOne->isChecked();
}
