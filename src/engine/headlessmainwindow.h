#pragma once

#include "app/imainwindow.h"

#include <QMutex>
#include <functional>

// The main window of gavelind: message-list lines go to standard output, questions get
// their default answer, and both are written to the log.
class HeadlessMainWindow : public IMainWindow
{
public:
    explicit HeadlessMainWindow(bool echoMessages = true);

    void postBidsViewCommand(int command) override;
    void addMessage(const QString& line, int level) override;
    void setStatusText(const QString& text) override;
    void showTrayBalloon(const QString& title, const QString& text, int milliseconds) override;
    int ask(const Question& question) override;
    void itemsChanged() override {}
    void foldersChanged() override {}
    void siteChanged() override {}
    void activate() override;

    void setBidsViewHandler(std::function<void(int)> handler)
    {
        m_bidsViewHandler = std::move(handler);
    }

private:
    void print(const QString& text);

    bool m_echo;
    QMutex m_outputMutex;
    std::function<void(int)> m_bidsViewHandler;
};
