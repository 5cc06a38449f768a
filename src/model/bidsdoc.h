#pragma once

#include "model/accesslock.h"
#include "model/bidfolder.h"
#include "model/biditem.h"
#include "model/bidsrebuild.h"
#include "model/listenvironment.h"

#include <QString>
#include <memory>
#include <vector>

class IBidEffects;
class IDocumentEvents;
class ItemsLock;

// The one open bid list: owns every folder and item in array (and file) order.
//
// Every thread that reads or writes folders, items or item fields holds the items lock
// (itemsLock()) first. The accessors below expect the caller to hold it; the changing
// operations of the document and its command classes take it themselves (the lock is
// recursive, so a caller that already holds it may call them).
class CBidsDoc
{
public:
    using Folders = std::vector<std::unique_ptr<CBidFolder>>;
    using Items = std::vector<std::unique_ptr<CBidItem>>;

    // ListEnvironment::of(app) in the programs, ListEnvironment::standalone() in tools.
    explicit CBidsDoc(ListEnvironment environment);
    ~CBidsDoc();

    CBidsDoc(const CBidsDoc&) = delete;
    CBidsDoc& operator=(const CBidsDoc&) = delete;

    const ListEnvironment& environment() const { return m_environment; }
    ItemsLock& itemsLock() const { return m_environment.itemsLock(); }
    // The window thread's settings (see ListEnvironment).
    const AppSettings& settings() const { return m_environment.settings(); }
    AccessLock& accessLock() { return m_accessLock; }

    // Effects on the engine and the window; null restores the silent defaults.
    void setEffects(IBidEffects* effects);
    IBidEffects& effects() const { return *m_effects; }
    void setEvents(IDocumentEvents* events);
    IDocumentEvents& events() const { return *m_events; }

    // A new list: "Open auctions" and "Closed auctions", modified, "Open auctions"
    // selected, tree and list rebuilt.
    void newDocument();
    // Discards every folder and item; each item's bid thread is told to quit first.
    void clear();
    // Re-creates "Open auctions" and "Closed auctions" when missing.
    void ensureBuiltInFolders();

    const Folders& folders() const { return m_folders; }
    CBidFolder* folderById(qint32 id) const;
    // Exact, case-sensitive comparison.
    CBidFolder* folderByName(const QString& name) const;
    bool containsFolder(const CBidFolder* folder) const;
    CBidFolder* appendFolder(std::unique_ptr<CBidFolder> folder);
    // Destroys one folder; its items and children are the caller's business.
    void destroyFolder(CBidFolder* folder);
    // (Largest positive id, or 0) + 1; the smallest free positive id once that overflows.
    qint32 nextFolderId() const;
    // Sets each folder's parent to the first folder with its parent id; a link that would
    // close a loop is left out, so every walk up the tree ends.
    void linkParents();
    // "%s [%d]": the name and the number of items in the folder.
    QString folderLabel(const CBidFolder* folder) const;
    int itemCountIn(const CBidFolder* folder) const;

    const Items& items() const { return m_items; }
    int itemCount() const { return static_cast<int>(m_items.size()); }
    CBidItem* itemAt(int index) const;
    int indexOf(const CBidItem* item) const;
    // Ids are compared as numbers: "0123" and "123" are the same item.
    CBidItem* itemById(const QString& id) const;
    // The item with that id in an open-type folder, if any.
    CBidItem* openItemById(const QString& id) const;
    static bool sameItemId(const QString& a, const QString& b);
    CBidItem* appendItem(std::unique_ptr<CBidItem> item, CBidFolder* folder);
    // Tells the item's bid thread to quit, logs "Bid #%s deleted." and destroys the item.
    void deleteItem(CBidItem* item);
    // Any item Running or Running / outbidded.
    bool anyRunning() const;

    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    // Full path of the list file; empty for a new list.
    const QString& path() const { return m_path; }
    void setPath(const QString& path);
    // The file name, or "List%d" once newDocument() made a new list.
    QString title() const { return m_title; }
    bool saveSilently() const { return m_saveSilently; }
    void setSaveSilently(bool on) { m_saveSilently = on; }

    // The folder shown in the list (0 for none).
    qint32 selectedFolderId() const { return m_selectedFolderId; }
    void setSelectedFolderId(qint32 id) { m_selectedFolderId = id; }

    // The rebuild pass (see BidsRebuild), then the views are told.
    RebuildResult rebuild();
    // After a change: modified, tree labels and list rebuilt.
    void changed();

    static QString runningBidsMessage();

private:
    ListEnvironment m_environment;
    IBidEffects* m_effects;
    IDocumentEvents* m_events;
    AccessLock m_accessLock;
    Folders m_folders;
    Items m_items;
    bool m_modified = false;
    QString m_path;
    QString m_title;
    bool m_saveSilently = false;
    qint32 m_selectedFolderId = 0;
};
