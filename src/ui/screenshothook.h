#pragma once

#include <QObject>
#include <QString>

class CMainFrame;
class QWidget;

// For the documentation: with GAVELIN_SCREENSHOT_DIR set, the program pictures its
// windows into that folder as PNG files and ends. Nothing else in the program knows it.
class CScreenshotHook : public QObject
{
    Q_OBJECT
public:
    static constexpr auto kVariable = "GAVELIN_SCREENSHOT_DIR";
    // Item numbers, comma-separated, that are added as the user would add them before the
    // main window is pictured (a first start against the practice site).
    static constexpr auto kItemsVariable = "GAVELIN_SCREENSHOT_ITEMS";

    // The folder asked for, empty when the program runs normally.
    static QString requestedFolder();

    CScreenshotHook(CMainFrame& frame, QString folder);

    // Call once the main window is shown.
    void start();

private:
    void shoot();
    bool save(QWidget* window, const QString& name);

    CMainFrame& m_frame;
    QString m_folder;
};
