#pragma once

#include "app/imainwindow.h"
#include "engine/iconnectivityprobe.h"
#include "engine/iprocessrunner.h"

#include <QCoreApplication>
#include <QHash>
#include <QMutex>
#include <QStringList>
#include <functional>

// The application object that worker threads and queued results need; made once for the
// test program.
inline void EnsureCoreApplication()
{
    static int argc = 1;
    static char name[] = "test_engine";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

// A probe that reports what the test sets.
class FakeProbe : public IConnectivityProbe
{
public:
    State query() override
    {
        QMutexLocker lock(&m_mutex);
        return m_state;
    }
    void set(bool succeeded, unsigned flags, const QString& error = QString())
    {
        QMutexLocker lock(&m_mutex);
        m_state = {succeeded, flags, error};
    }

private:
    QMutex m_mutex;
    State m_state;
};

// Records each program run ("pon provider") and answers with the exit code set for it.
class FakeRunner : public IProcessRunner
{
public:
    Result run(const QString& program, const QStringList& arguments) override
    {
        QMutexLocker lock(&m_mutex);
        m_calls << (QStringList{program} + arguments).join(' ');
        Result result;
        result.started = true;
        result.exitCode = exitCodes.value(program, 0);
        result.output = outputs.value(program);
        if (onRun)
            onRun(program);
        return result;
    }
    QStringList calls() const
    {
        QMutexLocker lock(&m_mutex);
        return m_calls;
    }

    QHash<QString, int> exitCodes;
    QHash<QString, QString> outputs;
    std::function<void(const QString&)> onRun;

private:
    mutable QMutex m_mutex;
    QStringList m_calls;
};

// Answers every question with `answer` (0: its default) and keeps them.
class AnsweringWindow : public IMainWindow
{
public:
    void postBidsViewCommand(int) override {}
    void addMessage(const QString& line, int) override { messages << line; }
    void setStatusText(const QString&) override {}
    void showTrayBalloon(const QString&, const QString&, int) override {}
    int ask(const Question& question) override
    {
        questions << question;
        return answer ? answer : question.defaultAnswer;
    }
    void itemsChanged() override {}
    void foldersChanged() override {}
    void siteChanged() override {}
    void activate() override {}

    int answer = 0;
    QList<Question> questions;
    QStringList messages;
};
