#pragma once

#include <QObject>
#include <functional>

class CBidsDoc;
class CMainFrame;
class DocumentStore;
class QMenu;
class QTimer;

// The File menu's list commands: New, Open, Save, Save As and the recent files, the
// question to save a changed list before it is closed (also on Exit), and the window
// title that names the list.
class CListFileCommands : public QObject
{
    Q_OBJECT
public:
    enum class FileDialog
    {
        Open,
        SaveAs,
    };
    // Returns the chosen path, empty when cancelled. `start` is the folder or file the
    // dialog opens at.
    using FileChooser = std::function<QString(FileDialog kind, const QString& start)>;

    // Takes over the frame's File commands and its exit guard; a child of the frame.
    CListFileCommands(CMainFrame& frame, CBidsDoc& doc, DocumentStore& store);

    // Tests choose files without a dialog; an empty chooser brings the dialog back.
    void setFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }

    void newList();
    void openList();
    bool saveList();
    bool saveListAs();
    void openRecent(const QString& path);
    // Before the list is replaced or the program ends: false when the user cancelled or
    // the save they asked for did not happen.
    bool confirmClose();

    // The title and the recent-file menu brought up to date with the list.
    void refresh();
    QMenu* recentFilesMenu() const;
    // Whether the list holds anything the user could lose: a list marked changed, except a
    // new one that is still empty. The caller holds the items lock.
    static bool hasChanges(const CBidsDoc& doc);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString chooseFile(FileDialog kind, const QString& start);
    // Where a file dialog opens: the list's folder, the last opened list's (InitDir) or the
    // documents folder, the first that exists (Open puts InitDir first).
    QString dialogFolder(FileDialog kind) const;
    bool mayReplaceList();
    void showMessage(const QString& text);
    void rebuildRecentMenu();
    void updateTitle();

    CMainFrame& m_frame;
    CBidsDoc& m_doc;
    DocumentStore& m_store;
    FileChooser m_chooser;
    QTimer* m_titleTimer = nullptr;
};
