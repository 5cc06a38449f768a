#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

class ArchiveReader;
class ArchiveWriter;
struct ItemReadState;
class CBidItem;
class CBidsDoc;

// What reading a list needs from the running program.
struct BidListReadContext
{
    // Local time: the end time of old-format items and the base of the last refresh time.
    qint64 now = 0;
    // The current site's private keyword; an empty one marks nothing private.
    QString privateKeyword;
    int refreshEveryMinutes = 5;

    // The clock, the current site and the settings of `doc`'s list.
    static BidListReadContext forList(const CBidsDoc& doc);
};

// The bid list file (".bid", "autosave.dat") and the drag transfer block: one sequential
// archive of the folders and then the items. Every item entry carries its own version in
// the tail of its seller string; the writer always writes the newest ("_VER4").
class BidListFile
{
public:
    // The drag and drop format of list rows.
    static constexpr const char* kTransferFormat = "BidItem";
    static constexpr const char* kVersionTag = "_VER4";
    static constexpr const char* kTitleMarker = "*#*#*";

    // Reads a whole list into `doc`, which is cleared first; the caller rebuilds
    // afterwards. Empty data reads as an empty list. On failure `doc` is left empty and
    // `error` says what is wrong with the data.
    static bool read(QByteArrayView data, CBidsDoc& doc, const BidListReadContext& context,
                     QString* error = nullptr);
    // The whole document in the newest layout; an item without a folder is first put into
    // "Open auctions".
    static QByteArray write(CBidsDoc& doc);

    // The drag block: a count and the item entries without their folder ids.
    static QByteArray writeTransfer(const std::vector<const CBidItem*>& items);
    static bool readTransfer(QByteArrayView data, std::vector<std::unique_ptr<CBidItem>>& items,
                             const BidListReadContext& context, QString* error = nullptr);

private:
    static bool readFolders(ArchiveReader& in, CBidsDoc& doc);
    static bool readItems(ArchiveReader& in, CBidsDoc& doc, const BidListReadContext& context);
    static bool readCount(ArchiveReader& in, qsizetype minimumEntrySize, quint32& count);
    // Fields 2 to 19 of an item entry; false when the data ends or is no list.
    static bool readItemEntry(ArchiveReader& in, CBidItem& item, const BidListReadContext& context,
                              ItemReadState& state);
    static void writeItemEntry(ArchiveWriter& out, const CBidItem& item);
    static void finishItem(CBidItem& item, const BidListReadContext& context);
};
