#pragma once

#include <QSplitter>

class AppContext;

// The bids window: the folder tree and the bids list side by side. The widths of the two
// panes are kept in Options\Frame as PaneLeft and PaneRight.
class CBidsFrame : public QSplitter
{
    Q_OBJECT
public:
    static constexpr int kMinLeft = 30;
    static constexpr int kDefaultLeft = 185;
    static constexpr int kMinRight = 50;
    static constexpr int kDefaultRight = 150;

    explicit CBidsFrame(AppContext& app, QWidget* parent = nullptr);

    // A stored width below a pane's minimum (a damaged or hand-edited value) gives the
    // pane its default width.
    static int leftWidth(int stored);
    static int rightWidth(int stored);

    // Puts the folder tree and the bids list in place of the current panes, which are
    // deleted. Until then both panes are empty placeholders.
    void setPanes(QWidget* folderTree, QWidget* bidsList);
    QWidget* folderPane() const { return widget(0); }
    QWidget* listPane() const { return widget(1); }

    int paneLeft() const;
    int paneRight() const;
    // Writes PaneLeft and PaneRight to the settings and the user's registry.
    void storePanes();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyPanes();
    void rememberSizes();

    AppContext& m_app;
    int m_left;
    int m_right;
    bool m_layoutPending = true; // the pane widths wait for the splitter's real width
};
