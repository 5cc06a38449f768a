#include "ui/screenshothook.h"

#include "ui/logviewer.h"
#include "ui/mainframe.h"
#include "ui/optionssheet.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTextStream>
#include <QThread>
#include <QTimer>

namespace {

// Lets the windows lay themselves out and paint before they are pictured.
void settle()
{
    for (int i = 0; i < 10; ++i) {
        QApplication::processEvents();
        QThread::msleep(30);
    }
}

} // namespace

QString CScreenshotHook::requestedFolder()
{
    return qEnvironmentVariable(kVariable);
}

CScreenshotHook::CScreenshotHook(CMainFrame& frame, QString folder)
    : QObject(&frame), m_frame(frame), m_folder(std::move(folder))
{
}

void CScreenshotHook::start()
{
    QTimer::singleShot(500, this, &CScreenshotHook::shoot);
}

bool CScreenshotHook::save(QWidget* window, const QString& name)
{
    settle();
    const QString path = QDir(m_folder).filePath(name + QStringLiteral(".png"));
    const bool saved = window->grab().save(path, "PNG");
    QTextStream(stderr) << (saved ? "saved " : "could not save ") << path << Qt::endl;
    return saved;
}

void CScreenshotHook::shoot()
{
    QDir().mkpath(m_folder);
    m_frame.showNormal();
    m_frame.resize(1100, 720);
    save(&m_frame, QStringLiteral("mainwindow"));

    auto sheet = m_frame.newOptionsSheet();
    sheet->show();
    const std::pair<COptionsSheet::Page, const char*> pages[] = {
        {COptionsSheet::TimeOptions, "options-time"},
        {COptionsSheet::SiteSettings, "options-sitesettings"},
        {COptionsSheet::EmailPatterns, "options-email"},
        {COptionsSheet::Network, "options-network"},
        {COptionsSheet::Update, "options-update"},
        {COptionsSheet::Favorites, "options-favorites"},
        {COptionsSheet::Application, "options-application"},
        {COptionsSheet::Advanced, "options-advanced"},
        {COptionsSheet::Other, "options-other"},
    };
    for (const auto& [page, name] : pages) {
        sheet->selectPage(page);
        save(sheet.get(), QLatin1String(name));
    }
    sheet->reject();

    CLogViewer* viewer = m_frame.openLogViewer();
    save(viewer, QStringLiteral("logviewer"));
    m_frame.exitProgram();
}
