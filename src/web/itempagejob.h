#pragma once

#include "web/itempagereader.h"

#include <QObject>
#include <memory>

class CBidItem;

// Reads one item page on a worker thread into an item of its own (not yet in any list),
// for the commands that add an item without the item dialog's own fetch. Lives on the
// worker's thread; the result comes back queued to the owner.
class ItemPageJob : public QObject
{
    Q_OBJECT
public:
    void read(const ItemPageReader& reader, const std::shared_ptr<CBidItem>& item);

Q_SIGNALS:
    void done(const std::shared_ptr<CBidItem>& item, const ItemPageResult& result);
};
