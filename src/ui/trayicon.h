#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QMenu;
class QSystemTrayIcon;
class QTimer;

// The program's icon in the system tray, when the desktop has a tray. The tray may come
// and go while the program runs (a panel restarts, or starts after the program): the icon
// follows it, and availabilityChanged() lets the window fall back to minimising. Without a
// tray every call is a no-op.
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
    // Whether the desktop has a tray now.
    using Probe = std::function<bool()>;
    static constexpr int kCheckMs = 2000;

    explicit CTrayIcon(QObject* parent = nullptr);
    ~CTrayIcon() override;

    bool isAvailable() const { return m_tray != nullptr; }
    // Asks the desktop again; the icon appears or goes with the tray.
    void checkAvailability();
    // Tests decide whether there is a tray; an empty probe asks the desktop.
    void setAvailabilityProbe(Probe probe);
    void setMenu(QMenu* menu);
    void showBalloon(const QString& title, const QString& text, int milliseconds);

    void setState(State state);
    State state() const { return m_state; }
    // One beat of the tray timers: a flashing icon changes its image.
    void tick();

Q_SIGNALS:
    // The user clicked the icon: bring the window back.
    void restoreRequested();
    void availabilityChanged(bool available);

private:
    void createIcon();
    void showImage(const char* name);

    Probe m_probe;
    QSystemTrayIcon* m_tray = nullptr;
    QPointer<QMenu> m_menu;
    QTimer* m_watch = nullptr;
    State m_state = State::Normal;
    bool m_flashFrame = false;
};
