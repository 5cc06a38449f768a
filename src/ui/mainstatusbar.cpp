#include "ui/mainstatusbar.h"

#include "app/siteclock.h"
#include "app/stringtable.h"
#include "ui/uiicons.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>

namespace {

// A flag and a name side by side, as one pane.
QWidget* pane(QWidget* parent, QLabel* icon, QLabel* text)
{
    auto* box = new QWidget(parent);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->setSpacing(5);
    layout->addWidget(icon);
    layout->addWidget(text);
    return box;
}

} // namespace

CMainStatusBar::CMainStatusBar(QWidget* parent) : QStatusBar(parent)
{
    m_text = new QLabel(this);
    m_text->setMinimumWidth(120);
    addWidget(m_text, 1);

    m_siteFlag = new QLabel(this);
    m_site = new QLabel(this);
    addPermanentWidget(pane(this, m_siteFlag, m_site));

    m_time = new QLabel(this);
    m_time->setContentsMargins(4, 0, 4, 0);
    // Wide enough for the longest date, so the bar does not jump every second.
    m_time->setMinimumWidth(m_time->fontMetrics().horizontalAdvance(StringTable::text(132) +
                                                                    " 00 Www 0000, 00:00:00 ") +
                            8);
    addPermanentWidget(m_time);

    m_progress = new QProgressBar(this);
    m_progress->setMaximumWidth(140);
    m_progress->setMaximumHeight(fontMetrics().height() + 2);
    m_progress->setTextVisible(false);
    m_progress->hide();
    addPermanentWidget(m_progress);

    m_connectionIcon = new QLabel(this);
    m_connectionIcon->setContentsMargins(4, 0, 4, 0);
    addPermanentWidget(m_connectionIcon);
    setConnection(Connection::Unknown);
}

void CMainStatusBar::setText(const QString& text)
{
    m_text->setText(text);
}

QString CMainStatusBar::text() const
{
    return m_text->text();
}

void CMainStatusBar::setSite(const QString& siteName, int siteNumber)
{
    m_siteFlag->setPixmap(UiIcons::siteFlag(siteNumber).pixmap(QSize(24, 16)));
    m_site->setText(siteName);
}

QString CMainStatusBar::siteText() const
{
    return m_site->text();
}

void CMainStatusBar::showSiteTime(const SiteClock& clock)
{
    // The same text as the site clock's beat gives it: the label as it stands (its blank
    // before the colon included), then English month names whatever the locale.
    const QString label = StringTable::text(132).trimmed();
    if (!clock.isSynchronised()) {
        m_time->setText(tr("%1 not synchronized").arg(label));
        return;
    }
    const QDateTime site = QDateTime::fromSecsSinceEpoch(clock.siteNow());
    m_time->setText(label + QLatin1Char(' ') +
                    QLocale::c().toString(site, QStringLiteral("MMM dd, yyyy, HH:mm:ss")));
}

void CMainStatusBar::setSiteTimeText(const QString& text)
{
    m_time->setText(text);
}

QString CMainStatusBar::siteTimeText() const
{
    return m_time->text();
}

void CMainStatusBar::setConnection(Connection state)
{
    m_connection = state;
    QString icon;
    QString tip;
    switch (state) {
    case Connection::Online:
        icon = QStringLiteral("net-online");
        tip = tr("Connected to the Internet");
        break;
    case Connection::Offline:
        icon = QStringLiteral("net-offline");
        tip = tr("Not connected to the Internet");
        break;
    default:
        icon = QStringLiteral("net-unknown");
        tip = tr("Connection not checked yet");
        break;
    }
    m_connectionIcon->setPixmap(UiIcons::named(icon).pixmap(QSize(16, 16)));
    m_connectionIcon->setToolTip(tip);
}

void CMainStatusBar::setProgress(int value, int maximum)
{
    if (maximum <= 0) {
        m_progress->hide();
        return;
    }
    m_progress->setRange(0, maximum);
    m_progress->setValue(qBound(0, value, maximum));
    m_progress->show();
}

bool CMainStatusBar::isProgressShown() const
{
    return !m_progress->isHidden();
}
