#pragma once

#include <QStyledItemDelegate>

// Label editing in the folder tree: the editor shows the folder's name (not its "[count]"
// label), takes at most 32 characters, and hands the typed name over instead of writing
// it into the node, since the document decides whether the name is taken.
class FolderNameDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    // The role of the node that holds the folder's name.
    explicit FolderNameDelegate(int nameRole, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

Q_SIGNALS:
    // Editing ended with Enter or by leaving the field (not with Escape).
    void nameEntered(const QModelIndex& index, const QString& name) const;

private:
    int m_nameRole;
};
