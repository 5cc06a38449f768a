#pragma once

#include "app/imainwindow.h"

#include <functional>

class QWidget;

// Every message box of the window goes through here, so that tests can read the texts
// the user would see and answer them.
class UserPrompt
{
public:
    using Responder = std::function<int(const IMainWindow::Question&)>;

    // Shows the question (with its count-down, when it has one) and returns the answer.
    static int ask(QWidget* parent, const IMainWindow::Question& question);
    static void inform(QWidget* parent, const QString& text,
                       IMainWindow::Icon icon = IMainWindow::Icon::Information);
    // OK/Cancel on a statement (go on, or go back); true for OK.
    static bool confirm(QWidget* parent, const QString& text,
                        IMainWindow::Icon icon = IMainWindow::Icon::Warning);

    // Yes/No with a question icon; true for Yes.
    static bool askYesNo(QWidget* parent, const QString& text,
                         int defaultAnswer = IMainWindow::AnswerYes);

    // Tests answer in place of the user; an empty responder brings the real boxes back.
    static void setResponder(Responder responder);

private:
    static int showBox(QWidget* parent, const IMainWindow::Question& question);
};
