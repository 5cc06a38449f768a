#include "ui/mainframe.h"

#include "app/appcontext.h"
#include "app/imainwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kMaxMessages = 200;

QIcon levelIcon(int level)
{
    QStyle* style = QApplication::style();
    switch (level) {
    case ProgramLog::Success:
        return style->standardIcon(QStyle::SP_DialogApplyButton);
    case ProgramLog::Warning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case ProgramLog::Error:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    default:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    }
}

QMessageBox::StandardButtons buttonsFor(IMainWindow::Buttons buttons)
{
    switch (buttons) {
    case IMainWindow::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case IMainWindow::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case IMainWindow::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::StandardButton toButton(int answer)
{
    switch (answer) {
    case IMainWindow::AnswerCancel:
        return QMessageBox::Cancel;
    case IMainWindow::AnswerYes:
        return QMessageBox::Yes;
    case IMainWindow::AnswerNo:
        return QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

int toAnswer(int button)
{
    switch (button) {
    case QMessageBox::Cancel:
        return IMainWindow::AnswerCancel;
    case QMessageBox::Yes:
        return IMainWindow::AnswerYes;
    case QMessageBox::No:
        return IMainWindow::AnswerNo;
    default:
        return IMainWindow::AnswerOk;
    }
}

QMessageBox::Icon iconFor(IMainWindow::Icon icon)
{
    switch (icon) {
    case IMainWindow::Icon::Information:
        return QMessageBox::Information;
    case IMainWindow::Icon::Question:
        return QMessageBox::Question;
    case IMainWindow::Icon::Warning:
        return QMessageBox::Warning;
    case IMainWindow::Icon::Error:
        return QMessageBox::Critical;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

CMainFrame::CMainFrame(AppContext& app, QWidget* parent) : QMainWindow(parent), m_app(app)
{
    setWindowTitle(AppContext::applicationTitle());
    setWindowIcon(QIcon(QStringLiteral(":/icons/gavelin.svg")));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_messages = new QListWidget(central);
    m_messages->setAlternatingRowColors(true);
    m_messages->setUniformItemSizes(true);
    layout->addWidget(m_messages);
    setCentralWidget(central);

    m_statusText = new QLabel(this);
    m_siteLabel = new QLabel(this);
    m_timeLabel = new QLabel(this);
    statusBar()->addWidget(m_statusText, 1);
    statusBar()->addPermanentWidget(m_siteLabel);
    statusBar()->addPermanentWidget(m_timeLabel);

    buildMenus();
    buildTray();
    siteChanged();

    m_clockTimer = new QTimer(this);
    connect(m_clockTimer, &QTimer::timeout, this, &CMainFrame::updateSiteTime);
    m_clockTimer->start(1000);
    updateSiteTime();
    restorePlacement();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::buildMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("E&xit"), this, &CMainFrame::exitProgram);
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&About"), this, [this] {
        QMessageBox::about(
            this, AppContext::applicationTitle(),
            tr("%1 %2\nAuction sniper").arg(AppContext::applicationTitle(), m_app.versionText()));
    });
}

void CMainFrame::buildTray()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setToolTip(AppContext::applicationTitle());
    auto* menu = new QMenu(this);
    QAction* title = menu->addAction(AppContext::applicationTitle());
    title->setEnabled(false);
    QAction* restore = menu->addAction(tr("&Restore"), this, &CMainFrame::activate);
    menu->setDefaultAction(restore);
    menu->addSeparator();
    menu->addAction(tr("&About"), this, [this] {
        QMessageBox::about(this, AppContext::applicationTitle(), AppContext::applicationTitle());
    });
    menu->addSeparator();
    menu->addAction(tr("&Exit from Gavelin"), this, &CMainFrame::exitProgram);
    m_tray->setContextMenu(menu);
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    activate();
            });
    m_tray->show();
}

bool CMainFrame::hasTray() const
{
    return m_tray != nullptr;
}

void CMainFrame::runOnWindowThread(std::function<void()> work)
{
    if (QThread::currentThread() == thread())
        work();
    else
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void CMainFrame::postBidsViewCommand(int command)
{
    Q_UNUSED(command);
}

void CMainFrame::addMessage(const QString& line, int level)
{
    runOnWindowThread([this, line, level] {
        auto* item = new QListWidgetItem(levelIcon(level), line);
        m_messages->insertItem(0, item);
        while (m_messages->count() > kMaxMessages)
            delete m_messages->takeItem(m_messages->count() - 1);
        m_messages->setCurrentRow(0);
    });
}

void CMainFrame::setStatusText(const QString& text)
{
    runOnWindowThread([this, text] { m_statusText->setText(text); });
}

void CMainFrame::showTrayBalloon(const QString& title, const QString& text, int milliseconds)
{
    runOnWindowThread([this, title, text, milliseconds] {
        if (m_tray)
            m_tray->showMessage(title, text, QSystemTrayIcon::Information, milliseconds);
    });
}

int CMainFrame::ask(const Question& question)
{
    int answer = question.defaultAnswer;
    auto show = [this, &question, &answer] {
        QMessageBox box(iconFor(question.icon),
                        question.caption.isEmpty() ? AppContext::applicationTitle()
                                                   : question.caption,
                        question.text, buttonsFor(question.buttons), this);
        box.setDefaultButton(toButton(question.defaultAnswer));
        int left = question.countdownSeconds;
        QTimer countdown;
        if (left > 0) {
            box.setInformativeText(tr("(%1 s)").arg(left));
            connect(&countdown, &QTimer::timeout, &box, [&box, &left, &question] {
                if (--left <= 0)
                    box.done(toButton(question.defaultAnswer));
                else
                    box.setInformativeText(tr("(%1 s)").arg(left));
            });
            countdown.start(1000);
        }
        const int result = box.exec();
        answer = toAnswer(result);
    };
    if (QThread::currentThread() == thread())
        show();
    else
        QMetaObject::invokeMethod(this, show, Qt::BlockingQueuedConnection);
    return answer;
}

void CMainFrame::itemsChanged() {}

void CMainFrame::foldersChanged() {}

void CMainFrame::siteChanged()
{
    runOnWindowThread([this] { m_siteLabel->setText(m_app.settings().currentSite); });
}

void CMainFrame::activate()
{
    runOnWindowThread([this] {
        if (isHidden())
            show();
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
    });
}

void CMainFrame::updateSiteTime()
{
    const SiteClock& clock = m_app.clock();
    if (!clock.isSynchronised()) {
        m_timeLabel->setText(tr("Site time not synchronised"));
        return;
    }
    const QDateTime site = QDateTime::fromSecsSinceEpoch(clock.siteNow());
    m_timeLabel->setText(site.toString(QStringLiteral("MMM dd, yyyy, HH:mm:ss")));
}

void CMainFrame::restorePlacement()
{
    const AppSettings& s = m_app.settings();
    resize(900, 600);
    if (s.frameStatus == -1 || s.frameTop < 0 || s.frameLeft < 0 || s.frameRight <= s.frameLeft ||
        s.frameBottom <= s.frameTop)
        return;
    QRect rect(QPoint(s.frameLeft, s.frameTop), QPoint(s.frameRight - 1, s.frameBottom - 1));
    if (QScreen* screen = QApplication::primaryScreen()) {
        // Keep the window reachable on a smaller screen.
        const QRect area = screen->availableGeometry();
        const int icon = 32;
        rect.moveLeft(qMin(rect.left() + area.left(), area.right() - icon));
        rect.moveTop(qMin(rect.top() + area.top(), area.bottom() - icon));
    }
    setGeometry(rect);
}

void CMainFrame::storePlacement()
{
    AppSettings& s = m_app.settings();
    const QRect rect = normalGeometry();
    s.frameStatus = isMinimized() ? 2 : (isMaximized() ? 3 : 1);
    s.frameTop = rect.top();
    s.frameLeft = rect.left();
    s.frameBottom = rect.bottom() + 1;
    s.frameRight = rect.right() + 1;
    Registry& registry = m_app.userRegistry();
    registry.writeInt("Options\\Frame", "Status", s.frameStatus);
    registry.writeInt("Options\\Frame", "Top", s.frameTop);
    registry.writeInt("Options\\Frame", "Left", s.frameLeft);
    registry.writeInt("Options\\Frame", "Bottom", s.frameBottom);
    registry.writeInt("Options\\Frame", "Right", s.frameRight);
}

void CMainFrame::showAtStart(bool minimized)
{
    if (minimized) {
        if (!m_tray)
            showMinimized();
        return;
    }
    if (m_app.settings().frameStatus == 3)
        showMaximized();
    else
        show();
}

void CMainFrame::exitProgram()
{
    m_exiting = true;
    storePlacement();
    Q_EMIT exitRequested();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_exiting) {
        event->accept();
        return;
    }
    // The close box keeps every bid running: the window only goes out of sight.
    event->ignore();
    if (m_tray) {
        hide();
        m_tray->showMessage(AppContext::applicationTitle(),
                            tr("The program has not closed, just minimized to the system tray. "
                               "To exit, select \"Exit\" from \"File\" menu."),
                            QSystemTrayIcon::Information, 2000);
    } else {
        showMinimized();
    }
}
