#pragma once

#include "app/imainwindow.h"

#include <QMutex>
#include <QStringList>

// A main window for tests: records status texts, messages and questions, and answers
// every question with `answer` (0: the question's own default).
class RecordingWindow : public IMainWindow
{
public:
    void postBidsViewCommand(int) override {}
    void addMessage(const QString& line, int) override;
    void setStatusText(const QString& text) override;
    void showTrayBalloon(const QString&, const QString&, int) override {}
    int ask(const Question& question) override;
    void itemsChanged() override {}
    void foldersChanged() override {}
    void siteChanged() override {}
    void activate() override {}

    QStringList statusTexts() const;
    QStringList messages() const;
    QList<Question> questions() const;
    int answer = 0;

private:
    mutable QMutex m_mutex;
    QStringList m_status;
    QStringList m_messages;
    QList<Question> m_questions;
};
