#include "ui/bidsviewevents.h"

#include "ui/bidsleftview.h"
#include "ui/bidsrightview.h"

#include <QThread>

BidsViewEvents::BidsViewEvents(CBidsLeftView* tree, CBidsRightView* list, QObject* parent)
    : QObject(parent), m_tree(tree), m_list(list)
{
}

bool BidsViewEvents::onViewThread() const
{
    return QThread::currentThread() == thread();
}

void BidsViewEvents::foldersChanged()
{
    if (onViewThread()) {
        if (m_tree)
            m_tree->rebuildTree();
        return;
    }
    if (m_treePending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_treePending = false;
            if (m_tree)
                m_tree->rebuildTree();
        },
        Qt::QueuedConnection);
}

void BidsViewEvents::listRebuilt(const std::vector<int>& rows)
{
    if (onViewThread()) {
        if (m_list)
            m_list->showRows(rows);
        return;
    }
    // The rows may be out of date by the time the view runs: it lists them again.
    if (m_listPending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_listPending = false;
            if (m_list)
                m_list->reload();
        },
        Qt::QueuedConnection);
}

void BidsViewEvents::itemRowChanged(int index)
{
    if (onViewThread()) {
        if (m_list)
            m_list->itemRowChanged(index);
        return;
    }
    QMetaObject::invokeMethod(
        this,
        [this, index] {
            if (m_list)
                m_list->itemRowChanged(index);
        },
        Qt::QueuedConnection);
}
