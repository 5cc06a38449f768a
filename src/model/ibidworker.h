#pragma once

// The bid thread serving an item, as the model sees it. The engine's bid thread
// implements it; both calls only post a thread message and return at once. They are made
// under the items lock.
class IBidWorker
{
public:
    virtual ~IBidWorker() = default;

    // WM_QUIT: stop working on the item. The item may be destroyed right after this call,
    // so the thread must not touch it again.
    virtual void postQuit() = 0;
    // 0x466 without a parameter record: retract the user's bids on the item.
    virtual void postRetract() = 0;
};
