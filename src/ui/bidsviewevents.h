#pragma once

#include "model/idocumentevents.h"

#include <QObject>
#include <QPointer>
#include <atomic>

class CBidsLeftView;
class CBidsRightView;

// Carries the document's notifications to the folder tree and the bids list. On the
// views' thread they are applied at once, under the lock the document holds; from a
// worker thread the views are told later and read the document again themselves.
class BidsViewEvents : public QObject, public IDocumentEvents
{
    Q_OBJECT
public:
    BidsViewEvents(CBidsLeftView* tree, CBidsRightView* list, QObject* parent = nullptr);

    void foldersChanged() override;
    void listRebuilt(const std::vector<int>& rows) override;
    void itemRowChanged(int index) override;

private:
    bool onViewThread() const;

    QPointer<CBidsLeftView> m_tree;
    QPointer<CBidsRightView> m_list;
    // Many changes from a worker make one redraw.
    std::atomic<bool> m_treePending{false};
    std::atomic<bool> m_listPending{false};
};
