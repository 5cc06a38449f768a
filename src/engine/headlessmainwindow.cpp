#include "engine/headlessmainwindow.h"

#include "app/appcontext.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QMutexLocker>
#include <QThread>
#include <cstdio>

HeadlessMainWindow::HeadlessMainWindow(bool echoMessages) : m_echo(echoMessages) {}

void HeadlessMainWindow::print(const QString& text)
{
    if (!m_echo)
        return;
    QMutexLocker lock(&m_outputMutex);
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void HeadlessMainWindow::postBidsViewCommand(int command)
{
    if (!m_bidsViewHandler)
        return;
    QObject* mainThread = QCoreApplication::instance();
    if (!mainThread) {
        m_bidsViewHandler(command);
        return;
    }
    QMetaObject::invokeMethod(
        mainThread, [handler = m_bidsViewHandler, command] { handler(command); },
        Qt::QueuedConnection);
}

void HeadlessMainWindow::addMessage(const QString& line, int level)
{
    print(QStringLiteral("%1 %2").arg(QChar::fromLatin1(ProgramLog::marker(level)), line));
}

void HeadlessMainWindow::setStatusText(const QString& text)
{
    Q_UNUSED(text);
}

void HeadlessMainWindow::showTrayBalloon(const QString& title, const QString& text,
                                         int milliseconds)
{
    Q_UNUSED(milliseconds);
    AppContext::logWrite(QStringLiteral("%1: %2").arg(title, QString(text).replace('\n', ' ')));
}

int HeadlessMainWindow::ask(const Question& question)
{
    QString text = question.text;
    text.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace('\n', ' ');
    AppContext::logWrite(QStringLiteral("Question \"%1\" answered with its default (%2)")
                             .arg(text)
                             .arg(question.defaultAnswer),
                         ProgramLog::Info);
    return question.defaultAnswer;
}

void HeadlessMainWindow::activate()
{
    AppContext::logWrite(QStringLiteral("Another copy was started; this one keeps running."));
}

void HeadlessMainWindow::setSiteTimeText(const QString& text)
{
    QMutexLocker lock(&m_outputMutex);
    m_siteTime = text;
}

QString HeadlessMainWindow::siteTimeText() const
{
    QMutexLocker lock(&m_outputMutex);
    return m_siteTime;
}

int HeadlessMainWindow::askStopBidding(const QString& itemId, const QString& retractHelpUrl)
{
    Q_UNUSED(retractHelpUrl);
    AppContext::logWrite(QStringLiteral("Stop bidding for bid #%1 answered with its default "
                                        "(stop only, no retraction)")
                             .arg(itemId));
    return StopOnly;
}
