#pragma once

#include <QString>
#include <QStringList>

// Everything the engine may ask of the main window. The desktop window implements it
// with widgets, gavelind with the log. Implementations accept calls from any thread and
// carry them out on the main thread.
class IMainWindow
{
public:
    // Commands the engine posts to the bids view.
    enum BidsViewCommand
    {
        CmdRedisplay = 32779,
        CmdStartReadyBids = 32807,
        CmdOutbidScan = 32853,
    };

    enum class Buttons
    {
        Ok,
        OkCancel,
        YesNo,
        YesNoCancel
    };
    enum class Icon
    {
        None,
        Information,
        Question,
        Warning,
        Error
    };
    enum Answer
    {
        AnswerOk = 1,
        AnswerCancel = 2,
        AnswerYes = 6,
        AnswerNo = 7
    };

    // The tray icon's images.
    enum class TrayIcon
    {
        Normal,
        Bidding,
        Outbid
    };
    // The stop dialog's answers.
    enum StopChoice
    {
        StopCancelled = 0,
        StopOnly = 1,
        StopAndRetract = 2
    };

    struct Question
    {
        QString text;
        QString caption;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        int defaultAnswer = AnswerOk;
        int countdownSeconds = 0; // 0: wait for the user; else the default is taken then
    };

    virtual ~IMainWindow() = default;

    virtual void postBidsViewCommand(int command) = 0;
    // A log line for the message list, newest first; level 0..3.
    virtual void addMessage(const QString& line, int level) = 0;
    virtual void setStatusText(const QString& text) = 0;
    virtual void showTrayBalloon(const QString& title, const QString& text, int milliseconds) = 0;
    // Blocks the caller until answered; from a worker thread the main thread answers.
    virtual int ask(const Question& question) = 0;
    virtual void itemsChanged() = 0;
    virtual void foldersChanged() = 0;
    virtual void siteChanged() = 0;
    // Show, restore and raise the window (a second copy was started).
    virtual void activate() = 0;

    // The engine's clock, tray and dialog needs. Windows without them keep the defaults.
    // The site-time pane of the status bar.
    virtual void setSiteTimeText(const QString& text) { (void)text; }
    virtual void setTrayIcon(TrayIcon icon) { (void)icon; }
    // Draws the user's eye once: a bid has started.
    virtual void flash() {}
    // The connection indicator of the status bar.
    virtual void setConnected(bool connected) { (void)connected; }
    // The stop dialog for item `itemId`, with a link to the site's retraction help page.
    // Blocks until answered; the default is "Stop only".
    virtual int askStopBidding(const QString& itemId, const QString& retractHelpUrl)
    {
        (void)itemId;
        (void)retractHelpUrl;
        return StopOnly;
    }
};
