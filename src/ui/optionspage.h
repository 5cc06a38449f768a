#pragma once

#include <QWidget>

class AppContext;
class QLabel;
class QSpinBox;
struct AppSettings;

// One page of the options sheet. Pages show a copy of the settings and write it back only
// when the sheet's OK is accepted.
class COptionsPage : public QWidget
{
    Q_OBJECT
public:
    COptionsPage(AppContext& app, const QString& title, QWidget* parent = nullptr);

    QString title() const { return m_title; }

    virtual void load(const AppSettings& settings) = 0;
    virtual void store(AppSettings& settings) const = 0;
    // The page was opened.
    virtual void entered() {}
    // The user leaves the page (another page or OK); false keeps the page open. The page
    // has told the user why.
    virtual bool leave() { return true; }
    // The sheet's OK: false keeps the sheet open on this page, after telling the user.
    virtual bool validate() { return true; }

Q_SIGNALS:
    // The page is about to tell the user something and must be in sight.
    void revealRequested();

protected:
    AppContext& app() const { return m_app; }
    // Shows `value` in the box; a stored value outside the box's range (a damaged or
    // hand-edited setting) is brought within it and reported in the message list.
    void loadSpin(QSpinBox* spin, int value, const char* key) const;
    QSpinBox* newSpin(int minimum, int maximum, const QString& suffix = QString());
    // A wrapped label for explanations under a control.
    QLabel* newNote(const QString& text);
    // The page's layout: a column of group boxes with room below. From here on a label
    // with a buddy is greyed and brought back with its field.
    void finishLayout();
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppContext& m_app;
    QString m_title;
};
