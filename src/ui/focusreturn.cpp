#include "ui/focusreturn.h"

#include <QApplication>
#include <QEvent>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

bool hasVisibleActiveWindow()
{
    const QWidget* active = QApplication::activeWindow();
    return active && active->isVisible();
}

} // namespace

FocusReturn::FocusReturn(QObject* parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

bool FocusReturn::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Hide || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto* window = static_cast<QWidget*>(watched);
    const Qt::WindowType type = window->windowType();
    if (!window->isWindow() || (type != Qt::Dialog && type != Qt::Sheet) || !window->parentWidget())
        return QObject::eventFilter(watched, event);
    // Only a box or dialog that had the keyboard hands it on (or one that closes just
    // after its own box, while nothing has it).
    if (window != QApplication::activeWindow() && hasVisibleActiveWindow())
        return QObject::eventFilter(watched, event);
    // The windows it belongs to, nearest first: a dialog that closes right after its box
    // hands the keyboard on to its own owner.
    QList<QPointer<QWidget>> owners;
    for (QWidget* owner = window->parentWidget(); owner; owner = owner->parentWidget()) {
        owner = owner->window();
        owners.append(owner);
    }
    // After the hide is done: the window manager may have chosen a window meanwhile.
    QTimer::singleShot(0, this, [owners] {
        if (hasVisibleActiveWindow())
            return;
        for (const QPointer<QWidget>& owner : owners) {
            if (owner && owner->isVisible() && !owner->isMinimized()) {
                owner->activateWindow();
                return;
            }
        }
    });
    return QObject::eventFilter(watched, event);
}
