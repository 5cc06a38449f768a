#include "ui/trayicon.h"

#include "app/appcontext.h"
#include "ui/uiicons.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

CTrayIcon::CTrayIcon(QObject* parent) : QObject(parent)
{
    // Qt tells of no tray that comes or goes, so the desktop is asked now and then.
    m_watch = new QTimer(this);
    connect(m_watch, &QTimer::timeout, this, &CTrayIcon::checkAvailability);
    m_watch->start(kCheckMs);
    if (QSystemTrayIcon::isSystemTrayAvailable())
        createIcon();
}

CTrayIcon::~CTrayIcon() = default;

void CTrayIcon::setAvailabilityProbe(Probe probe)
{
    m_probe = std::move(probe);
    checkAvailability();
}

void CTrayIcon::checkAvailability()
{
    const bool available = m_probe ? m_probe() : QSystemTrayIcon::isSystemTrayAvailable();
    if (available == isAvailable())
        return;
    if (available) {
        createIcon();
    } else {
        delete m_tray;
        m_tray = nullptr;
    }
    Q_EMIT availabilityChanged(available);
}

void CTrayIcon::createIcon()
{
    m_tray = new QSystemTrayIcon(UiIcons::application(), this);
    m_tray->setToolTip(AppContext::applicationTitle());
    if (m_menu)
        m_tray->setContextMenu(m_menu);
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    Q_EMIT restoreRequested();
            });
    showImage(m_state == State::Outbid ? "tray-outbid" : "gavelin");
    m_tray->show();
}

void CTrayIcon::setMenu(QMenu* menu)
{
    m_menu = menu;
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
