#pragma once

#include <QBrush>
#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

// Label editing in the folder tree: the editor shows the folder's name (not its "[count]"
// label), takes at most 32 characters, and hands the typed name over instead of writing
// it into the model, since the document decides whether the name is taken. It also shades
// the folder under a drag, which is the view's state, not the model's.
class FolderNameDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    // The model's role that holds the folder's name.
    explicit FolderNameDelegate(int nameRole, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

    // An invalid index shades nothing.
    void setShaded(const QModelIndex& index, const QBrush& brush);
    QModelIndex shaded() const { return m_shaded; }

Q_SIGNALS:
    // Editing ended with Enter or by leaving the field (not with Escape).
    void nameEntered(const QModelIndex& index, const QString& name) const;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    int m_nameRole;
    QPersistentModelIndex m_shaded;
    QBrush m_shade;
};
