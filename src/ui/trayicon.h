#pragma once

#include <QObject>

class QMenu;
class QSystemTrayIcon;

// The program's icon in the system tray, when the desktop has a tray. Without one every
// call is a no-op and isAvailable() says so, so the window can fall back to minimising.
class CTrayIcon : public QObject
{
    Q_OBJECT
public:
    enum class State
    {
        Normal,
        Flashing, // alternates with the normal image on every tick()
        Outbid
    };

    explicit CTrayIcon(QObject* parent = nullptr);
    ~CTrayIcon() override;

    bool isAvailable() const { return m_tray != nullptr; }
    void setMenu(QMenu* menu);
    void showBalloon(const QString& title, const QString& text, int milliseconds);

    void setState(State state);
    State state() const { return m_state; }
    // One beat of the tray timers: a flashing icon changes its image.
    void tick();

Q_SIGNALS:
    // The user clicked the icon: bring the window back.
    void restoreRequested();

private:
    void showImage(const char* name);

    QSystemTrayIcon* m_tray = nullptr;
    State m_state = State::Normal;
    bool m_flashFrame = false;
};
