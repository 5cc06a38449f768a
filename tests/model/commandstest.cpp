#include "model/bideditform.h"
#include "model/bidlistfile.h"
#include "model/foldercommands.h"
#include "model/itemcommands.h"
#include "modelfixture.h"

class CommandsTest : public ModelTest
{
protected:
    std::unique_ptr<CBidItem> newItem(const QString& id)
    {
        auto item = std::make_unique<CBidItem>();
        item->setId(id);
        return item;
    }

    FolderCommands m_folders{m_doc};
    ItemCommands m_items{m_doc};
};

TEST_F(CommandsTest, AddItemRefusesNumbersAlreadyOpen)
{
    CBidFolder* open = m_doc.folderById(-1);
    const AddItemStart start = m_items.beginAdd(open);
    EXPECT_TRUE(start.credentialsQuestion.isEmpty());
    EXPECT_EQ(start.target, open);
    EXPECT_EQ(start.folderChoices,
              (QStringList{"Open auctions", "Add to current selected folder"}));
    EXPECT_EQ(start.defaultEndTime, kNow + 86400);

    ASSERT_TRUE(m_items.addItem(newItem("123456789"), QString(), open).isEmpty());
    EXPECT_EQ(m_items.addItem(newItem("0123456789"), QString(), open),
              "An auction with this id already present in auctions/bids list.");
    m_doc.itemAt(0)->setStatus(StatusWon);
    m_doc.rebuild(); // the won one leaves for "Closed auctions" and no longer blocks
    CBidItem* added = nullptr;
    EXPECT_TRUE(m_items.addItem(newItem("0123456789"), QString(), open, &added).isEmpty());
    EXPECT_EQ(added->folder(), open);
    EXPECT_EQ(m_doc.itemCount(), 2);
}

TEST_F(CommandsTest, AddItemFolderChoice)
{
    CBidFolder* cameras = addFolder(1, -1, "Cameras");
    CBidFolder* closed = m_doc.folderById(-2);
    EXPECT_EQ(m_items.beginAdd(closed).target, nullptr); // ends silently
    EXPECT_TRUE(m_items.beginAdd(cameras).folderChoices.contains("Cameras"));
    EXPECT_FALSE(m_items.beginAdd(cameras).folderChoices.contains("Closed auctions"));

    CBidItem* item = nullptr;
    m_items.addItem(newItem("1000000001"), "Cameras", m_doc.folderById(-1), &item);
    EXPECT_EQ(item->folder(), cameras);
    EXPECT_EQ(m_doc.selectedFolderId(), 1);
    m_items.addItem(newItem("1000000002"), "Add to current selected folder", cameras, &item);
    EXPECT_EQ(item->folder(), cameras);
    m_items.addItem(newItem("1000000003"), "Closed auctions", closed, &item);
    EXPECT_EQ(item->folder()->id(), CBidFolder::OpenAuctionsId);

    settings().password.clear();
    EXPECT_EQ(m_items.beginAdd(cameras).credentialsQuestion,
              "You must define a user name and password.");
}

TEST_F(CommandsTest, DeleteItemsAsksBeforeDeletingALeadingBid)
{
    EXPECT_EQ(m_items.deleteConfirmation(),
              "Do you want to delete selected item(s) from bids list?");
    settings().confirmDel = 0;
    EXPECT_TRUE(m_items.deleteConfirmation().isEmpty());

    CBidItem* plain = addItem("1000000001", StatusRunning);
    plain->setBidThread(&m_workers[0]);
    CBidItem* busy = addItem("1000000002", StatusActive);
    busy->setBusy(true);
    CBidItem* leading = addItem("1000000003", StatusActive);
    leading->setHighBidders("Buyer");
    CBidItem* closedLead = addItem("1000000004", StatusWon, -2);
    closedLead->setHighBidders("buyer");

    using Outcome = ItemCommands::DeleteOutcome;
    using Choice = ItemCommands::DeleteChoice;
    EXPECT_EQ(m_items.deleteItem(plain), Outcome::Deleted);
    EXPECT_EQ(m_workers[0].quits, 1);
    EXPECT_EQ(m_items.deleteItem(busy), Outcome::Skipped);
    EXPECT_EQ(m_items.deleteItem(leading), Outcome::NeedsChoice);
    EXPECT_EQ(m_items.deleteItem(leading, Choice::Cancel), Outcome::Skipped);
    EXPECT_EQ(m_items.deleteItem(leading, Choice::RetractAndDelete), Outcome::Retracting);
    EXPECT_EQ(leading->status(), StatusRetracted);
    EXPECT_EQ(m_effects.retractions, QStringList{"1000000003"});
    EXPECT_EQ(m_items.deleteItem(closedLead), Outcome::Deleted);
    EXPECT_EQ(m_items.deleteItem(closedLead), Outcome::Skipped); // already gone
    m_items.finishDelete();
    EXPECT_EQ(m_doc.itemCount(), 2);
    const QString log = logText();
    EXPECT_TRUE(log.contains("Bid #1000000001 deleted."));
    EXPECT_TRUE(log.contains("Bid #1000000003: retract all bids & deleted."));
}

TEST_F(CommandsTest, DropChecksEachItemAgainstTheTarget)
{
    CBidFolder* cameras = addFolder(1, -1, "Cameras");
    cameras->setOnlyOneItemWins(true);
    CBidItem* stopped = addItem("1000000001", StatusStopped);
    stopped->setHighBidders("Mitgliedsname");
    CBidItem* won = addItem("1000000002", StatusWon, -2);
    CBidItem* active = addItem("1000000003", StatusActive);
    const QByteArray block = m_items.dragData({0, 1, 2});

    const DropResult result = m_items.drop(block, cameras);
    EXPECT_EQ(result.moved, 1);
    EXPECT_TRUE(result.refused); // the won item may not go back to an open folder
    EXPECT_EQ(stopped->folder(), cameras);
    EXPECT_EQ(won->folder()->id(), CBidFolder::ClosedAuctionsId);
    EXPECT_EQ(active->folder()->id(), CBidFolder::OpenAuctionsId); // the drop ended before it
    EXPECT_FALSE(cameras->onlyOneItemWins());
    EXPECT_TRUE(result.message.startsWith("The option \"only one item wins\" cannot be set"));

    CBidItem* running = addItem("1000000004", StatusRunning);
    EXPECT_TRUE(m_items.drop(m_items.dragData({3}), m_doc.folderById(-1)).refused);
    EXPECT_EQ(m_items.drop(m_items.dragData({1}), addFolder(2, -2, "Archive")).moved, 1);
    EXPECT_EQ(running->folder()->id(), CBidFolder::OpenAuctionsId);
    EXPECT_TRUE(m_items.drop("garbage", cameras).refused);
}

TEST_F(CommandsTest, FolderAddRenameAndProperties)
{
    CBidFolder* added = m_folders.addFolder(m_doc.folderById(-1));
    EXPECT_EQ(added->id(), 1);
    EXPECT_EQ(added->name(), "Noname folder");
    EXPECT_EQ(added->parent(), m_doc.folderById(-1));
    EXPECT_EQ(m_doc.selectedFolderId(), 1);
    EXPECT_TRUE(logText().contains("Folder \"Noname folder\" added."));

    EXPECT_FALSE(m_folders.canRename(m_doc.folderById(-1)));
    EXPECT_FALSE(m_folders.canRename(m_doc.folderById(-2)));
    EXPECT_EQ(m_folders.rename(added, "  "), "The folder name is empty. Please, input valid name.");
    EXPECT_EQ(m_folders.rename(added, "Closed auctions"),
              "The folder name \"Closed auctions\" is present in selected parent folder.");
    bool sort = true;
    settings().sortFolders = 0;
    EXPECT_TRUE(m_folders.rename(added, QString(40, 'n'), &sort).isEmpty());
    EXPECT_EQ(added->name(), QString(32, 'n'));
    EXPECT_FALSE(sort);
    EXPECT_TRUE(m_folders.rename(added, QString(32, 'n')).isEmpty()); // its own name
    EXPECT_TRUE(logText().contains("Folder \"Noname folder\" change to \"nnnn"));

    addItem("1000000001", StatusActive, 1)->setPrivate(true);
    EXPECT_TRUE(m_folders.setOnlyOneItemWins(added, true).startsWith("The option"));
    EXPECT_FALSE(added->onlyOneItemWins());
    EXPECT_TRUE(m_folders.setOnlyOneItemWins(m_doc.folderById(-1), true).isEmpty());
    EXPECT_TRUE(m_doc.folderById(-1)->onlyOneItemWins());
}

TEST_F(CommandsTest, DeleteFolderTakesSubfoldersAndItemsAlong)
{
    EXPECT_TRUE(m_folders.deleteQuestion(m_doc.folderById(-1)).isEmpty());
    EXPECT_FALSE(m_folders.deleteFolder(m_doc.folderById(-2)));
    EXPECT_EQ(m_doc.folders().size(), 2u);

    CBidFolder* parent = addFolder(1, -1, "Parent");
    addFolder(2, 1, "Child");
    addFolder(3, -1, "Sibling");
    addItem("1000000001", StatusRunning, 2)->setBidThread(&m_workers[0]);
    addItem("1000000002", StatusActive, 3);
    m_doc.setSelectedFolderId(2);
    EXPECT_EQ(m_folders.deleteQuestion(parent),
              "Delete folder \"Parent\" with all subfolders and items from the list?");
    ASSERT_TRUE(m_folders.deleteFolder(parent));
    EXPECT_EQ(m_doc.folderById(1), nullptr);
    EXPECT_EQ(m_doc.folderById(2), nullptr);
    ASSERT_EQ(m_doc.itemCount(), 1);
    EXPECT_EQ(m_doc.itemAt(0)->id(), "1000000002");
    EXPECT_EQ(m_workers[0].quits, 1);
    EXPECT_EQ(m_doc.selectedFolderId(), CBidFolder::OpenAuctionsId);
    const QString log = logText();
    EXPECT_LT(log.indexOf("Folder \"Child\" deleted."), log.indexOf("Folder \"Parent\" deleted."));
}

TEST_F(CommandsTest, AccessLock)
{
    AccessLock& lock = m_doc.accessLock();
    EXPECT_FALSE(lock.isRequired()); // the option is off
    settings().lock = 1;
    settings().lockPassword = "Open Sesame";
    EXPECT_TRUE(lock.isRequired());
    EXPECT_FALSE(lock.unlock("open sesame"));
    EXPECT_TRUE(logText().contains("Access denied: bad access password entered."));
    EXPECT_TRUE(lock.unlock("Open Sesame"));
    EXPECT_FALSE(lock.isRequired());

    settings().idleTime = 5;
    lock.noteActivity(kNow);
    lock.checkIdle(kNow + 299, settings().idleTime);
    EXPECT_FALSE(lock.isRequired());
    lock.checkIdle(kNow + 300, settings().idleTime);
    EXPECT_TRUE(lock.isRequired());
}
