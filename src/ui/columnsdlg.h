#pragma once

#include "ui/listviewstate.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;

// "View/Sort Columns": the column titles in display order, checked when shown, with the
// sort column and direction and "Keep sorting under the status".
class CColumnsDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CColumnsDlg(const ListViewState& state, QWidget* parent = nullptr);

    // The state as the dialog leaves it: the list's order and checks and the sort keys;
    // the widths are the ones it was given.
    ListViewState result() const;

    QListWidget* columnList() const { return m_columns; }
    QPushButton* upButton() const { return m_up; }
    QPushButton* downButton() const { return m_down; }
    QPushButton* viewHideButton() const { return m_viewHide; }
    QComboBox* sortCombo() const { return m_sortOn; }
    QCheckBox* descendingBox() const { return m_descending; }
    QCheckBox* statusBox() const { return m_status; }

private:
    void moveCurrent(int step);
    void toggleCurrent();
    void keepOneShown();
    void updateButtons();

    ListViewState m_state;
    QListWidget* m_columns = nullptr;
    QPushButton* m_up = nullptr;
    QPushButton* m_down = nullptr;
    QPushButton* m_viewHide = nullptr;
    QComboBox* m_sortOn = nullptr;
    QCheckBox* m_descending = nullptr;
    QCheckBox* m_status = nullptr;
};
