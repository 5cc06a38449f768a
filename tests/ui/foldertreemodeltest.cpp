// The folder tree's model over a live document: indexes keep naming their folders while
// the document adds, removes, moves and renames folders, and the signals it sends bring
// any listener to the same tree a fresh model would show.

#include "ui/foldertreemodel.h"
#include "model/bidsdoc.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>
#include <map>

namespace {

using Tester = QAbstractItemModelTester;

CBidFolder* addFolder(CBidsDoc& doc, qint32 id, CBidFolder* parent, const QString& name)
{
    auto folder = std::make_unique<CBidFolder>(id, parent ? parent->id() : 0, name);
    folder->setParent(parent);
    return doc.appendFolder(std::move(folder));
}

void moveBelow(CBidFolder* folder, CBidFolder* parent)
{
    folder->setParent(parent);
    folder->setParentId(parent ? parent->id() : 0);
}

// The model's tree, depth first: one line per folder, indented by depth, "id name".
QStringList dump(const QAbstractItemModel& model, const QModelIndex& parent = QModelIndex(),
                 int depth = 0)
{
    QStringList lines;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        lines << QString(depth * 2, u' ') +
                     QStringLiteral("%1 %2")
                         .arg(index.data(FolderTreeModel::kFolderIdRole).toInt())
                         .arg(index.data(FolderTreeModel::kNameRole).toString());
        lines += dump(model, index, depth + 1);
    }
    return lines;
}

// The same from the document: top-level folders in list order, sub-folders in list order
// or by name.
QStringList expected(const CBidsDoc& doc, bool byName, const CBidFolder* parent = nullptr,
                     int depth = 0)
{
    std::vector<const CBidFolder*> children;
    for (const auto& folder : doc.folders()) {
        if (folder->parent() == parent)
            children.push_back(folder.get());
    }
    if (byName && parent) {
        std::stable_sort(children.begin(), children.end(), [](auto* a, auto* b) {
            return a->name().localeAwareCompare(b->name()) < 0;
        });
    }
    QStringList lines;
    for (const CBidFolder* folder : children) {
        lines << QString(depth * 2, u' ') +
                     QStringLiteral("%1 %2").arg(folder->id()).arg(folder->name());
        lines += expected(doc, byName, folder, depth + 1);
    }
    return lines;
}

// Persistent indexes of every folder, by id.
std::map<qint32, QPersistentModelIndex> keepAll(const QAbstractItemModel& model,
                                                const QModelIndex& parent = QModelIndex())
{
    std::map<qint32, QPersistentModelIndex> kept;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        kept.emplace(FolderTreeModel::folderId(index), index);
        kept.merge(keepAll(model, index));
    }
    return kept;
}

// Each kept index still names its folder, at the folder's place now, or is invalid when
// its folder went away.
bool keptIndexesFollow(const FolderTreeModel& model, const CBidsDoc& doc,
                       const std::map<qint32, QPersistentModelIndex>& kept)
{
    for (const auto& [id, index] : kept) {
        if (!doc.folderById(id)) {
            if (index.isValid()) {
                qWarning() << "index of removed folder" << id << "still valid";
                return false;
            }
            continue;
        }
        if (!index.isValid() || index.data(FolderTreeModel::kFolderIdRole).toInt() != id ||
            QModelIndex(index) != model.indexOfFolder(id)) {
            qWarning() << "index of folder" << id << "now names"
                       << index.data(FolderTreeModel::kFolderIdRole) << "at row" << index.row();
            return false;
        }
    }
    return true;
}

} // namespace

class FolderTreeModelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsLabelsNamesIconsAndWhatMayBeRenamed()
    {
        CBidsDoc doc{ListEnvironment::standalone()};
        doc.newDocument();
        CBidFolder* open = doc.folderById(CBidFolder::OpenAuctionsId);
        addFolder(doc, 1, open, "Cameras");
        auto item = std::make_unique<CBidItem>();
        item->setId("1000000001");
        doc.appendItem(std::move(item), doc.folderById(1));
        FolderTreeModel model(doc);
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        model.reload();

        QCOMPARE(dump(model),
                 QStringList({"-1 Open auctions", "  1 Cameras", "-2 Closed auctions"}));
        const QModelIndex cameras = model.indexOfFolder(1);
        QCOMPARE(cameras.data().toString(), QString("Cameras [1]"));
        QCOMPARE(cameras.data(Qt::EditRole).toString(), QString("Cameras"));
        QCOMPARE(cameras.parent(), model.indexOfFolder(CBidFolder::OpenAuctionsId));
        QVERIFY(!cameras.data(Qt::DecorationRole).value<QIcon>().isNull());
        QVERIFY(model.flags(cameras).testFlags(Qt::ItemIsEditable | Qt::ItemIsDropEnabled));
        const QModelIndex closed = model.indexOfFolder(CBidFolder::ClosedAuctionsId);
        QCOMPARE(model.flags(closed) & (Qt::ItemIsEditable | Qt::ItemIsDropEnabled),
                 Qt::ItemFlags(Qt::ItemIsDropEnabled));
        QVERIFY(!model.indexOfFolder(7).isValid());
    }

    void aCountChangeRedrawsOneFolderAndNothingElse()
    {
        CBidsDoc doc{ListEnvironment::standalone()};
        doc.newDocument();
        addFolder(doc, 1, doc.folderById(CBidFolder::OpenAuctionsId), "Cameras");
        FolderTreeModel model(doc);
        model.reload();
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy layouts(&model, &QAbstractItemModel::layoutChanged);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

        model.reload();
        QCOMPARE(changed.count() + moved.count() + inserted.count() + removed.count() +
                     layouts.count() + resets.count(),
                 0);

        doc.appendItem(std::make_unique<CBidItem>(), doc.folderById(1));
        model.reload();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model.indexOfFolder(1));
        QCOMPARE(model.indexOfFolder(1).data().toString(), QString("Cameras [1]"));
        QCOMPARE(moved.count() + inserted.count() + removed.count() + resets.count(), 0);
    }

    void anIndexTakenBeforeAChangeNamesItsFolderOrNothing()
    {
        CBidsDoc doc{ListEnvironment::standalone()};
        doc.newDocument();
        CBidFolder* open = doc.folderById(CBidFolder::OpenAuctionsId);
        CBidFolder* cameras = addFolder(doc, 1, open, "Cameras");
        addFolder(doc, 2, open, "Books");
        addFolder(doc, 3, cameras, "Lenses");
        FolderTreeModel model(doc);
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        model.reload();
        // Plain indexes, as a view's queued call or a drop keeps them.
        const QModelIndex oldCameras = model.indexOfFolder(1);
        const QModelIndex oldBooks = model.indexOfFolder(2);
        const QModelIndex oldLenses = model.indexOfFolder(3);
        const QPersistentModelIndex keptBooks = oldBooks;
        const QPersistentModelIndex keptLenses = oldLenses;

        // Cameras goes, its sub-folder moves to Books, and new folders come first.
        moveBelow(doc.folderById(3), doc.folderById(2));
        doc.destroyFolder(doc.folderById(1));
        addFolder(doc, 4, open, "Albums");
        model.reload();

        QVERIFY(!oldCameras.data().isValid());
        QCOMPARE(model.flags(oldCameras), Qt::ItemFlags());
        QCOMPARE(model.rowCount(oldCameras), 0);
        QCOMPARE(oldBooks.data(FolderTreeModel::kNameRole).toString(), QString("Books"));
        QCOMPARE(oldLenses.data(FolderTreeModel::kNameRole).toString(), QString("Lenses"));
        QCOMPARE(keptBooks.row(), 0);
        QCOMPARE(keptLenses.parent(), QModelIndex(keptBooks));
        QCOMPARE(dump(model), QStringList({"-1 Open auctions", "  2 Books", "    3 Lenses",
                                           "  4 Albums", "-2 Closed auctions"}));
    }

    void renamesMoveSubFoldersWhenSortedByName()
    {
        CBidsDoc doc{ListEnvironment::standalone()};
        doc.newDocument();
        CBidFolder* open = doc.folderById(CBidFolder::OpenAuctionsId);
        addFolder(doc, 1, open, "Cameras");
        addFolder(doc, 2, open, "Books");
        addFolder(doc, 3, open, "Albums");
        addFolder(doc, 4, nullptr, "Archive"); // top level keeps list order
        FolderTreeModel model(doc);
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        model.setSortChildrenByName(true);
        model.reload();
        QCOMPARE(dump(model), QStringList({"-1 Open auctions", "  3 Albums", "  2 Books",
                                           "  1 Cameras", "-2 Closed auctions", "4 Archive"}));
        const QPersistentModelIndex cameras = model.indexOfFolder(1);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

        doc.folderById(1)->setName("Accessories");
        model.reload();
        QCOMPARE(cameras.row(), 0);
        QCOMPARE(cameras.data().toString(), QString("Accessories [0]"));

        model.setSortChildrenByName(false);
        model.reload();
        QCOMPARE(dump(model), QStringList({"-1 Open auctions", "  1 Accessories", "  2 Books",
                                           "  3 Albums", "-2 Closed auctions", "4 Archive"}));
        QCOMPARE(resets.count(), 0);
    }

    void aDamagedListShowsEachIdOnceAndNoLoop()
    {
        CBidsDoc doc{ListEnvironment::standalone()};
        doc.newDocument();
        CBidFolder* open = doc.folderById(CBidFolder::OpenAuctionsId);
        CBidFolder* a = addFolder(doc, 1, open, "A");
        CBidFolder* b = addFolder(doc, 2, a, "B");
        addFolder(doc, 1, nullptr, "A again");
        // A loop the document itself never links: A below B below A.
        a->setParent(b);
        FolderTreeModel model(doc);
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        model.reload();
        QCOMPARE(dump(model),
                 QStringList({"-1 Open auctions", "-2 Closed auctions", "1 A", "  2 B"}));
        QCOMPARE(model.indexOfFolder(1).data(FolderTreeModel::kNameRole).toString(), QString("A"));
    }

    void everyChangeLeavesTheTreeAFreshModelWouldShow()
    {
        CBidsDoc doc{ListEnvironment::standalone()};
        doc.newDocument();
        FolderTreeModel model(doc);
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        model.reload();
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QRandomGenerator random(20240611);
        const QStringList names{"Alpha", "beta", "Gamma", "alpha", "Delta", "Beta"};
        bool byName = false;
        const auto anyFolder = [&]() -> CBidFolder* {
            const auto& folders = doc.folders();
            return folders[random.bounded(int(folders.size()))].get();
        };

        for (int step = 0; step < 400; ++step) {
            const int changes = 1 + random.bounded(3);
            for (int change = 0; change < changes; ++change) {
                const int kind = random.bounded(doc.folders().size() > 30 ? 5 : 7);
                CBidFolder* folder = anyFolder();
                switch (kind) {
                case 0: { // a sub-folder goes, its own sub-folders to the top level
                    if (!CBidFolder::isBuiltInId(folder->id()))
                        doc.destroyFolder(folder);
                    break;
                }
                case 1: { // moved below a folder outside it, or to the top level
                    CBidFolder* parent = random.bounded(4) ? anyFolder() : nullptr;
                    if (!parent || !CBidFolder::isWithin(parent, folder))
                        moveBelow(folder, parent);
                    break;
                }
                case 2:
                    folder->setName(names[random.bounded(int(names.size()))]);
                    break;
                case 3: { // to the end of the list, as the same folder made anew
                    auto again = std::make_unique<CBidFolder>(folder->id(), folder->parentId(),
                                                              folder->name());
                    again->setParent(folder->parent());
                    std::vector<CBidFolder*> children;
                    for (const auto& other : doc.folders()) {
                        if (other->parent() == folder)
                            children.push_back(other.get());
                    }
                    doc.destroyFolder(folder);
                    CBidFolder* made = doc.appendFolder(std::move(again));
                    for (CBidFolder* child : children)
                        child->setParent(made);
                    break;
                }
                case 4:
                    byName = !byName;
                    break;
                default:
                    addFolder(doc, doc.nextFolderId(), random.bounded(5) ? folder : nullptr,
                              names[random.bounded(int(names.size()))]);
                    break;
                }
            }
            const auto kept = keepAll(model);
            model.setSortChildrenByName(byName);
            model.reload();
            QVERIFY2(keptIndexesFollow(model, doc, kept), qPrintable(QString::number(step)));
            QCOMPARE(dump(model), expected(doc, byName));
            FolderTreeModel fresh(doc);
            fresh.setSortChildrenByName(byName);
            fresh.reload();
            QCOMPARE(dump(model), dump(fresh));
        }
        QCOMPARE(resets.count(), 0);
    }
};

QTEST_MAIN(FolderTreeModelTest)
#include "foldertreemodeltest.moc"
