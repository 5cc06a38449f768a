#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The Stop command's question: stop the item's bidding only, or stop and retract the
// bids already placed. Answers with IMainWindow::StopChoice. The link opens the site's
// page on bid retraction in the system's browser.
class CStopBiddingDlg : public QDialog
{
    Q_OBJECT
public:
    CStopBiddingDlg(const QString& itemId, const QString& retractHelpUrl,
                    QWidget* parent = nullptr);

    // StopCancelled until a button was pressed.
    int choice() const { return m_choice; }
    // Runs the dialog and returns the choice.
    static int ask(QWidget* parent, const QString& itemId, const QString& retractHelpUrl);

    QPushButton* stopOnlyButton() const { return m_stopOnly; }
    QPushButton* retractButton() const { return m_retract; }
    QPushButton* cancelButton() const { return m_cancel; }
    QLabel* helpLink() const { return m_link; }

private:
    void choose(int choice);

    QPushButton* m_stopOnly = nullptr;
    QPushButton* m_retract = nullptr;
    QPushButton* m_cancel = nullptr;
    QLabel* m_link = nullptr;
    int m_choice;
};
