#include "ui/trayicon.h"

#include "app/appcontext.h"
#include "ui/uiicons.h"

#include <QMenu>
#include <QSystemTrayIcon>

CTrayIcon::CTrayIcon(QObject* parent) : QObject(parent)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_tray = new QSystemTrayIcon(UiIcons::application(), this);
    m_tray->setToolTip(AppContext::applicationTitle());
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    Q_EMIT restoreRequested();
            });
    m_tray->show();
}

CTrayIcon::~CTrayIcon() = default;

void CTrayIcon::setMenu(QMenu* menu)
{
    if (m_tray)
        m_tray->setContextMenu(menu);
}

void CTrayIcon::showBalloon(const QString& title, const QString& text, int milliseconds)
{
    if (m_tray)
        m_tray->showMessage(title, text, QSystemTrayIcon::Information, milliseconds);
}

void CTrayIcon::setState(State state)
{
    m_state = state;
    m_flashFrame = false;
    showImage(state == State::Outbid ? "tray-outbid" : "gavelin");
}

void CTrayIcon::tick()
{
    if (m_state != State::Flashing)
        return;
    m_flashFrame = !m_flashFrame;
    showImage(m_flashFrame ? "tray-flash" : "gavelin");
}

void CTrayIcon::showImage(const char* name)
{
    if (m_tray)
        m_tray->setIcon(UiIcons::named(QLatin1String(name)));
}
