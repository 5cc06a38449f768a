#pragma once

#include <vector>

class CBidsDoc;

struct RebuildResult
{
    // The selected folder's rows: indexes into the item array, in array order.
    std::vector<int> rows;
    // Some item changed folder: the tree labels need a redraw.
    bool moved = false;
    // An ended item asked for the system shutdown; the request was posted.
    bool shutdownRequested = false;
    // Items Active / outbidded or Running / outbidded after the pass.
    int outbidCount = 0;
};

// The pass that runs after every change of the list: finished items leave open folders
// for "Closed auctions" (with the "only one item wins" rule, the won check and the
// ended-bidding mail), unfinished ones leave closed folders for "Open auctions", and the
// outbid scan follows. The caller holds the items lock.
class BidsRebuild
{
public:
    explicit BidsRebuild(CBidsDoc& doc) : m_doc(doc) {}

    RebuildResult run();
    // Outbid notifications and the outbid indicator; returns the number of outbid items.
    int outbidScan();

private:
    void closeFinished(int index, bool& moved);
    void applyOnlyOneWins(int wonIndex);

    CBidsDoc& m_doc;
};
