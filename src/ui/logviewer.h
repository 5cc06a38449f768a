#pragma once

#include <QDialog>

class AppContext;
class QTextBrowser;

// "Log Viewer": the lines of the current run of the program log, coloured by level.
// Its place on the screen is kept in the section Log.
class CLogViewer : public QDialog
{
    Q_OBJECT
public:
    explicit CLogViewer(AppContext& app, QWidget* parent = nullptr);

    // Reads the log again; false (after telling the user) when it cannot be read.
    bool reload();
    // The lines from the last "Log session started successfully." on, as HTML.
    static QString currentRunHtml(const QStringList& lines);
    QTextBrowser* view() const { return m_view; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void restorePlacement();
    void storePlacement();

    AppContext& m_app;
    QTextBrowser* m_view = nullptr;
};
