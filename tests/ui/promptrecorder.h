#pragma once

#include "ui/userprompt.h"

#include <QList>
#include <QStringList>

// Answers the window's message boxes in place of the user and keeps their texts. Answers
// are taken in order; without one left the question's default answer is given.
class PromptRecorder
{
public:
    PromptRecorder()
    {
        UserPrompt::setResponder([this](const auto& q) { return answer(q); });
    }
    ~PromptRecorder() { UserPrompt::setResponder({}); }

    void queue(int answer) { m_answers << answer; }
    const QStringList& texts() const { return m_texts; }
    void clear() { m_texts.clear(); }

private:
    int answer(const IMainWindow::Question& q)
    {
        m_texts << q.text;
        return m_answers.isEmpty() ? q.defaultAnswer : m_answers.takeFirst();
    }

    QList<int> m_answers;
    QStringList m_texts;
};
