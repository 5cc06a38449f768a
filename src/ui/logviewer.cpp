#include "ui/logviewer.h"

#include "app/appcontext.h"
#include "ui/userprompt.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

const QString kSessionStart = QStringLiteral("Log session started successfully.");
constexpr int kDefaultWidth = 780;
constexpr int kDefaultHeight = 500;
constexpr int kLeastSize = 200;

const char* colourOf(QChar marker)
{
    switch (marker.unicode()) {
    case '+':
        return "green";
    case '!':
        return "navy";
    case '#':
        return "red";
    case '-':
        return "gray";
    default:
        return nullptr;
    }
}

} // namespace

CLogViewer::CLogViewer(AppContext& app, QWidget* parent) : QDialog(parent), m_app(app)
{
    setWindowTitle(tr("Log Viewer"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);
    auto* column = new QVBoxLayout(this);
    m_view = new QTextBrowser(this);
    m_view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_view->setLineWrapMode(QTextEdit::NoWrap);
    m_view->setOpenLinks(false);
    column->addWidget(m_view);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* refresh = buttons->addButton(tr("&Refresh"), QDialogButtonBox::ActionRole);
    connect(refresh, &QPushButton::clicked, this, &CLogViewer::reload);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    column->addWidget(buttons);
    restorePlacement();
}

bool CLogViewer::reload()
{
    QFile file(m_app.paths().logFile());
    if (!file.open(QIODevice::ReadOnly)) {
        m_view->clear();
        UserPrompt::inform(this, file.errorString(), IMainWindow::Icon::Error);
        return false;
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    m_view->setHtml(currentRunHtml(lines));
    m_view->moveCursor(QTextCursor::End);
    return true;
}

QString CLogViewer::currentRunHtml(const QStringList& lines)
{
    qsizetype first = 0;
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        if (lines.at(i).contains(kSessionStart)) {
            first = i;
            break;
        }
    }
    QString html;
    const char* colour = "gray";
    for (qsizetype i = first; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        QString text = line;
        // A line that starts without a level marker continues the line before it (a text
        // with line breaks) and keeps its colour and its first character.
        if (const char* own = line.isEmpty() ? nullptr : colourOf(line.at(0))) {
            colour = own;
            text = line.mid(1);
        }
        if (text.isEmpty() && i == lines.size() - 1)
            break;
        html += QStringLiteral("<font color=%1>%2</font><br>")
                    .arg(QLatin1String(colour), text.toHtmlEscaped());
    }
    return html;
}

void CLogViewer::restorePlacement()
{
    const AppSettings& s = m_app.settings();
    resize(kDefaultWidth, kDefaultHeight);
    if (s.logLeft == -1 || s.logTop == -1 || s.logWidth < kLeastSize || s.logHeight < kLeastSize)
        return;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QRect rect(s.logLeft, s.logTop, s.logWidth, s.logHeight);
    rect.setSize(rect.size().boundedTo(area.size()));
    // Keep the title bar on the screen whatever was stored.
    rect.moveLeft(qBound(area.left(), rect.left(), area.right() - rect.width() + 1));
    rect.moveTop(qBound(area.top(), rect.top(), area.bottom() - rect.height() + 1));
    setGeometry(rect);
}

void CLogViewer::storePlacement()
{
    AppSettings& s = m_app.settings();
    const QRect rect = geometry();
    s.logLeft = rect.left();
    s.logTop = rect.top();
    s.logWidth = rect.width();
    s.logHeight = rect.height();
    s.writeKeys(m_app.userRegistry(), {&AppSettings::logLeft, &AppSettings::logTop,
                                       &AppSettings::logWidth, &AppSettings::logHeight});
}

void CLogViewer::hideEvent(QHideEvent* event)
{
    storePlacement();
    QDialog::hideEvent(event);
}
