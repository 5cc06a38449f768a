#include "recordingwindow.h"

void RecordingWindow::addMessage(const QString& line, int)
{
    QMutexLocker lock(&m_mutex);
    m_messages << line;
}

void RecordingWindow::setStatusText(const QString& text)
{
    QMutexLocker lock(&m_mutex);
    m_status << text;
}

int RecordingWindow::ask(const Question& question)
{
    QMutexLocker lock(&m_mutex);
    m_questions << question;
    return answer ? answer : question.defaultAnswer;
}

QStringList RecordingWindow::statusTexts() const
{
    QMutexLocker lock(&m_mutex);
    return m_status;
}

QStringList RecordingWindow::messages() const
{
    QMutexLocker lock(&m_mutex);
    return m_messages;
}

QList<IMainWindow::Question> RecordingWindow::questions() const
{
    QMutexLocker lock(&m_mutex);
    return m_questions;
}
