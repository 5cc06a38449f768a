#pragma once

#include <QFrame>

class QAction;
class QVBoxLayout;

// The side bar: a column of large buttons for the program's main places, under group
// titles. Each button carries one of the window's commands, so it is enabled and
// disabled with it.
class COutlookBar : public QFrame
{
    Q_OBJECT
public:
    explicit COutlookBar(QWidget* parent = nullptr);

    void addGroup(const QString& title);
    void addAction(QAction* action);

private:
    QVBoxLayout* m_layout = nullptr;
};
