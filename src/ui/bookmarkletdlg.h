#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// Help > "Add items from your browser": the bookmarklet that hands the page a browser
// shows to the program as a "gavelin:" link. The user drags the link to the bookmarks bar
// or copies its text into a new bookmark.
class CBookmarkletDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CBookmarkletDlg(QWidget* parent = nullptr);

    // The bookmark's address: opens "gavelin:" followed by the page's address, encoded.
    static QString script();

    QLabel* dragLabel() const { return m_drag; }
    QLineEdit* scriptEdit() const { return m_script; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_drag = nullptr;
    QLineEdit* m_script = nullptr;
    QPoint m_pressedAt;
};
