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
    void setSiteTimeText(const QString& text) override;
    int askStopBidding(const QString& itemId, const QString& retractHelpUrl) override;
    QString siteTimeText() const;

    // Commands are posted: the handler runs on the main thread after the caller's work.
    void setBidsViewHandler(std::function<void(int)> handler)
    {
        m_bidsViewHandler = std::move(handler);
    }

private:
    void print(const QString& text);

    bool m_echo;
    mutable QMutex m_outputMutex;
    QString m_siteTime;
    std::function<void(int)> m_bidsViewHandler;
};
