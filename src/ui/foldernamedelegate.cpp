#include "ui/foldernamedelegate.h"

#include "model/bidfolder.h"

#include <QLineEdit>

FolderNameDelegate::FolderNameDelegate(int nameRole, QObject* parent)
    : QStyledItemDelegate(parent), m_nameRole(nameRole)
{
}

QWidget* FolderNameDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex&) const
{
    auto* editor = new QLineEdit(parent);
    editor->setMaxLength(CBidFolder::kMaxNameLength);
    editor->setFrame(true);
    return editor;
}

void FolderNameDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* line = static_cast<QLineEdit*>(editor);
    line->setText(index.data(m_nameRole).toString());
    line->selectAll();
}

void FolderNameDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                      const QModelIndex& index) const
{
    Q_EMIT nameEntered(index, static_cast<QLineEdit*>(editor)->text());
}

void FolderNameDelegate::setShaded(const QModelIndex& index, const QBrush& brush)
{
    m_shaded = index;
    m_shade = brush;
}

void FolderNameDelegate::initStyleOption(QStyleOptionViewItem* option,
                                         const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (m_shaded.isValid() && index == m_shaded)
        option->backgroundBrush = m_shade;
}
