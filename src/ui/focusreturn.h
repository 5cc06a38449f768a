#pragma once

#include <QObject>

// Hands the keyboard back when a message box or dialog closes. Some window managers give
// the focus to no window at all when a transient window goes away, and Qt then forgets
// which window had it: the window that asked would sit there without keyboard focus.
// One object, installed on the application, watches every window of the program.
class FocusReturn : public QObject
{
    Q_OBJECT
public:
    explicit FocusReturn(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
