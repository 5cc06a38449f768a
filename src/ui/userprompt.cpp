#include "ui/userprompt.h"

#include "app/appcontext.h"

#include <QMessageBox>
#include <QTimer>

namespace {

UserPrompt::Responder& responder()
{
    static UserPrompt::Responder instance;
    return instance;
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

int UserPrompt::ask(QWidget* parent, const IMainWindow::Question& question)
{
    if (responder())
        return responder()(question);
    return showBox(parent, question);
}

void UserPrompt::inform(QWidget* parent, const QString& text, IMainWindow::Icon icon)
{
    IMainWindow::Question question;
    question.text = text;
    question.icon = icon;
    ask(parent, question);
}

bool UserPrompt::confirm(QWidget* parent, const QString& text, IMainWindow::Icon icon)
{
    IMainWindow::Question question;
    question.text = text;
    question.icon = icon;
    question.buttons = IMainWindow::Buttons::OkCancel;
    return ask(parent, question) == IMainWindow::AnswerOk;
}

bool UserPrompt::askYesNo(QWidget* parent, const QString& text, int defaultAnswer)
{
    IMainWindow::Question question;
    question.text = text;
    question.buttons = IMainWindow::Buttons::YesNo;
    question.icon = IMainWindow::Icon::Question;
    question.defaultAnswer = defaultAnswer;
    return ask(parent, question) == IMainWindow::AnswerYes;
}

void UserPrompt::setResponder(Responder newResponder)
{
    responder() = std::move(newResponder);
}

int UserPrompt::showBox(QWidget* parent, const IMainWindow::Question& question)
{
    const QString caption =
        question.caption.isEmpty() ? AppContext::applicationTitle() : question.caption;
    QMessageBox box(iconFor(question.icon), caption, question.text, buttonsFor(question.buttons),
                    parent);
    box.setDefaultButton(toButton(question.defaultAnswer));
    int left = question.countdownSeconds;
    QTimer countdown;
    if (left > 0) {
        // Unanswered, the question takes its default when the count reaches 0.
        box.setInformativeText(QObject::tr("%1 sec. left").arg(left));
        QObject::connect(&countdown, &QTimer::timeout, &box, [&box, &left, &question] {
            if (--left <= 0)
                box.done(toButton(question.defaultAnswer));
            else
                box.setInformativeText(QObject::tr("%1 sec. left").arg(left));
        });
        countdown.start(1000);
    }
    return toAnswer(box.exec());
}
