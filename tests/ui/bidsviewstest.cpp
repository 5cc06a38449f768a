// The folder tree and the bids list over a live document: what the rows show, how they
// follow the tree and the sort keys, and the commands' questions and messages.

#include "bidsviewfixture.h"
#include "model/itemcommands.h"
#include "promptrecorder.h"
#include "ui/bidsframe.h"
#include "ui/bidslistmodel.h"
#include "ui/commandid.h"
#include "ui/foldertreemodel.h"
#include "ui/listviewstate.h"
#include "ui/mainframe.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <limits>
#include <map>

namespace {

// The folder labels depth first.
QStringList labels(const QAbstractItemModel& model, const QModelIndex& parent = QModelIndex())
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex index = model.index(row, 0, parent);
        texts << index.data().toString();
        texts += labels(model, index);
    }
    return texts;
}

QStringList labels(const QTreeView& tree)
{
    return labels(*tree.model());
}

// The label editor that is open now (a closed one may wait for its deletion).
QLineEdit* openEditor(const QAbstractItemView& tree)
{
    const QList<QLineEdit*> editors = tree.viewport()->findChildren<QLineEdit*>();
    for (QLineEdit* editor : editors) {
        if (editor->isVisible())
            return editor;
    }
    return nullptr;
}

QStringList rowIds(const CBidsRightView& list)
{
    QStringList ids;
    const QAbstractItemModel* model = list.model();
    for (int row = 0; row < model->rowCount(); ++row)
        ids << model->index(row, BidCells::ColumnId).data().toString();
    return ids;
}

} // namespace

class BidsViewsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theTreeShowsCountsAndTheListTheSelectedFolder()
    {
        BidsViews views;
        views.addFolder(1, -1, "Cameras");
        views.addItem("1000000001", StatusActive);
        views.addItem("1000000002", StatusActiveOutbid);
        views.addItem("1000000003", StatusActive, 1);
        views.doc.changed();
        QCOMPARE(labels(*views.tree),
                 QStringList({"Open auctions [2]", "Cameras [1]", "Closed auctions [0]"}));
        QCOMPARE(rowIds(*views.list), QStringList({"1000000001", "1000000002"}));

        views.tree->selectFolder(1);
        QCOMPARE(views.doc.selectedFolderId(), 1);
        QCOMPARE(rowIds(*views.list), QStringList({"1000000003"}));
        const QModelIndex cell = views.list->model()->index(0, BidCells::ColumnId);
        QCOMPARE(cell.data(BidsListModel::kItemIndexRole).toInt(), 2);
        QVERIFY(!cell.data(Qt::DecorationRole).value<QIcon>().isNull());
    }

    void anEmptyListSaysSo()
    {
        BidsViews views;
        QCOMPARE(CBidsRightView::emptyText(), QString("There are no items to show in this view."));
        views.list->resize(500, 200);
        views.list->show();
        QVERIFY(QTest::qWaitForWindowExposed(views.list.get()));
        const auto textPixels = [&views] {
            const QImage image = views.list->viewport()->grab().toImage();
            const QRgb background = image.pixel(2, image.height() - 2);
            int count = 0;
            for (int y = 0; y < 40 && y < image.height(); ++y) {
                for (int x = image.width() / 4; x < image.width() * 3 / 4; ++x)
                    count += image.pixel(x, y) != background;
            }
            return count;
        };
        QVERIFY(textPixels() > 50);
    }

    void rowsEndingSoonAreDarkRed()
    {
        BidsViews views;
        AppSettings& settings = views.app().settings();
        settings.highlightEnding = 1;
        settings.highlightEndingHours = 2;
        views.addItem("1", StatusActive)->setEndTime(BidsViews::kNow + 30 * 60);
        views.addItem("2", StatusActive)->setEndTime(BidsViews::kNow + 3 * 3600);
        views.addItem("3", StatusActive)->setEndTime(BidsViews::kNow - 60);
        views.addItem("4", StatusActive)->setEndTime(BidsViews::kNow + 2 * 3600);
        views.doc.changed();
        const QAbstractItemModel* model = views.list->model();
        const auto color = [model](int row) {
            return model->index(row, BidCells::ColumnTitle).data(Qt::ForegroundRole);
        };
        QCOMPARE(color(0).value<QColor>(), QColor(192, 0, 0));
        QVERIFY(!color(1).isValid());
        QVERIFY(!color(2).isValid()); // already ended
        QCOMPARE(color(3).value<QColor>(), QColor(192, 0, 0));
        settings.highlightEnding = 0;
        QVERIFY(!color(0).isValid());
        // End times from a damaged list.
        QVERIFY(!BidsListModel::endsWithin(std::numeric_limits<qint64>::min(), BidsViews::kNow, 1));
        QVERIFY(!BidsListModel::endsWithin(std::numeric_limits<qint64>::max(), BidsViews::kNow, 1));
    }

    void everySecondRowIsSlightlyDarkerWithoutThePicture()
    {
        BidsViews views;
        views.addItem("1", StatusActive);
        views.addItem("2", StatusActive);
        views.list->setBackgroundShown(false);
        views.doc.changed();
        const QColor window = views.list->palette().color(QPalette::Base);
        const QAbstractItemModel* model = views.list->model();
        QVERIFY(!model->index(0, BidCells::ColumnTitle).data(Qt::BackgroundRole).isValid());
        QCOMPARE(model->index(1, BidCells::ColumnTitle).data(Qt::BackgroundRole).value<QColor>(),
                 QColor(window.red(), window.green() - 5, window.blue() - 10));
        views.list->setBackgroundShown(true);
        QVERIFY(!model->index(1, BidCells::ColumnTitle).data(Qt::BackgroundRole).isValid());
    }

    void columnsFitTheirTextAndTheNameTakesTheRest()
    {
        BidsViews views;
        CBidItem* item = views.addItem("1000000001", StatusActive, -1, "Brass pocket watch");
        item->setCurrency(QStringLiteral("EUR "));
        item->setCurrentPrice(1234.56f);
        item->setMaxPrice(2345.67f);
        item->setBids(QStringLiteral("114"));
        item->setShippingCosts(QStringLiteral("EUR 12,50"));
        views.doc.changed();
        CBidsRightView& list = *views.list;
        QHeaderView* header = list.horizontalHeader();
        list.resize(1500, 300);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        // A first start: numbers and titles fit, the name has what is left, nothing scrolls.
        QVERIFY(list.nameFitsWindow());
        const int name = BidCells::ColumnTitle;
        int others = 0;
        for (int column = 0; column < BidsListModel::kColumns; ++column) {
            if (column == name)
                continue;
            others += header->sectionSize(column);
            QVERIFY(header->sectionSize(name) > header->sectionSize(column));
            const QString title = BidCells::columnTitle(column);
            QVERIFY2(header->fontMetrics().horizontalAdvance(title) < header->sectionSize(column),
                     qPrintable(title));
            const QString text = list.model()->index(0, column).data().toString();
            QVERIFY2(list.fontMetrics().horizontalAdvance(text) < header->sectionSize(column),
                     qPrintable(text));
        }
        QCOMPARE(header->sectionSize(name), list.viewport()->width() - others);
        QCOMPARE(list.horizontalScrollBar()->maximum(), 0);
        QCOMPARE(list.viewState().widths[size_t(name)], 0); // it goes on following the window

        // A narrow window keeps a readable name and scrolls instead.
        list.resize(500, 300);
        QTRY_COMPARE(header->sectionSize(name), list.defaultWidth(name));
        QVERIFY(list.horizontalScrollBar()->maximum() > 0);

        // Dragging the name's divider makes its width the user's.
        header->resizeSection(name, 260);
        QVERIFY(!list.nameFitsWindow());
        list.resize(1400, 300);
        QCoreApplication::processEvents();
        QCOMPARE(header->sectionSize(name), 260);
        QCOMPARE(list.viewState().widths[size_t(name)], 260);

        // Stored widths are used as they are.
        ListViewState stored = ListViewState::fromSettings(views.app().settings());
        stored.widths[size_t(name)] = 222;
        stored.widths[size_t(BidCells::ColumnCurrentPrice)] = 61;
        list.applyState(stored);
        QCOMPARE(header->sectionSize(name), 222);
        QCOMPARE(header->sectionSize(BidCells::ColumnCurrentPrice), 61);
    }

    void theBackgroundPictureStaysPutWhenTheListScrolls()
    {
        BidsViews views;
        for (int i = 0; i < 40; ++i)
            views.addItem(QString::number(1000000000 + i), StatusActive, -1, "Wool blanket");
        views.doc.changed();
        CBidsRightView& list = *views.list;
        list.setBackgroundShown(true);
        list.resize(600, 420);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QCoreApplication::processEvents();
        // What reaches the screen after a scroll in each direction is what a fresh paint gives.
        for (QScrollBar* bar : {list.horizontalScrollBar(), list.verticalScrollBar()}) {
            QVERIFY(bar->maximum() > 0);
            bar->setValue(bar->maximum() / 2);
            QCoreApplication::processEvents();
            const QRect area = list.viewport()->geometry();
            const QImage shown = list.screen()
                                     ->grabWindow(list.winId())
                                     .toImage()
                                     .copy(area)
                                     .convertToFormat(QImage::Format_RGB32);
            const QImage painted =
                list.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(shown.size(), painted.size());
            QVERIFY(shown == painted);
        }
    }

    void headerClicksSortAndTheSelectionFollowsItsItem()
    {
        BidsViews views;
        views.addItem("1000000003", StatusActive, -1, "Bravo");
        views.addItem("1000000001", StatusActive, -1, "Charlie");
        views.addItem("1000000002", StatusActive, -1, "Alpha");
        views.doc.changed();
        CBidsRightView& list = *views.list;
        list.selectRow(1); // Charlie
        QSignalSpy edits(&list, &CBidsRightView::editItemRequested);

        Q_EMIT list.horizontalHeader()->sectionClicked(BidCells::ColumnTitle);
        QCOMPARE(rowIds(list), QStringList({"1000000002", "1000000003", "1000000001"}));
        Q_EMIT list.horizontalHeader()->sectionClicked(BidCells::ColumnTitle);
        QCOMPARE(rowIds(list), QStringList({"1000000001", "1000000003", "1000000002"}));
        QVERIFY(!list.listModel()->sortKeys().ascending);
        Q_EMIT list.horizontalHeader()->sectionClicked(BidCells::ColumnId);
        QVERIFY(list.listModel()->sortKeys().ascending);
        QCOMPARE(rowIds(list), QStringList({"1000000001", "1000000002", "1000000003"}));
        QCOMPARE(list.horizontalHeader()->sortIndicatorSection(), int(BidCells::ColumnId));

        QCOMPARE(list.selectedItemIndexes(), std::vector<int>{1});
        list.editFocused();
        QCOMPARE(edits.count(), 1);
        QCOMPARE(edits.at(0).at(0).toInt(), 1);

        // A rebuild keeps the selection on the same item too.
        views.addItem("1000000000", StatusActive, -1, "Delta");
        views.doc.changed();
        QCOMPARE(list.selectedItemIndexes(), std::vector<int>{1});

        list.selectAllRows();
        QCOMPARE(list.selectedItemIndexes().size(), size_t(4));
        QCOMPARE(list.currentIndex().row(), 0);
    }

    void aRefusedOptionOnDropReachesTheUser()
    {
        BidsViews views;
        PromptRecorder prompts;
        CBidFolder* cameras = views.addFolder(1, -1, "Cameras");
        cameras->setOnlyOneItemWins(true);
        views.addItem("1000000001", StatusActive)->setHighBidders("Mitgliedsname");
        CBidItem* won = views.addItem("1000000002", StatusWon, -2);
        views.doc.changed();
        ItemCommands commands(views.doc);

        DropResult result = views.tree->dropRows(commands.dragData({0}), 1);
        QCOMPARE(result.moved, 1);
        QCOMPARE(prompts.texts().size(), 1);
        QVERIFY(
            prompts.texts().at(0).startsWith("The option \"only one item wins\" cannot be set"));
        QCOMPARE(labels(*views.tree).at(1), QString("Cameras [1]"));

        prompts.clear();
        result = views.tree->dropRows(commands.dragData({1}), 1);
        QVERIFY(result.refused);
        QCOMPARE(won->folder()->id(), int(CBidFolder::ClosedAuctionsId));
        QVERIFY(prompts.texts().isEmpty());
    }

    void renamingTakesThirtyTwoCharactersAndReopensOnARefusal()
    {
        BidsViews views;
        PromptRecorder prompts;
        views.addFolder(1, -1, "Cameras");
        views.addFolder(2, -1, "Books");
        views.doc.changed();
        views.tree->show();
        QVERIFY(QTest::qWaitForWindowExposed(views.tree.get()));

        views.tree->selectFolder(-1);
        views.tree->renameFolder(); // "Open auctions" keeps its name
        QVERIFY(!openEditor(*views.tree));

        views.tree->selectFolder(1);
        views.tree->renameFolder();
        QLineEdit* editor = openEditor(*views.tree);
        QVERIFY(editor);
        QCOMPARE(editor->text(), QString("Cameras"));
        QCOMPARE(editor->maxLength(), 32);
        editor->setText("Books");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(prompts.texts().size(), 1);
        QCOMPARE(prompts.texts().at(0),
                 QString("The folder name \"Books\" is present in selected parent folder."));
        QTRY_VERIFY(openEditor(*views.tree));

        editor = openEditor(*views.tree);
        editor->setText("Lenses");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(views.doc.folderById(1)->name(), QString("Lenses"));
        QVERIFY(labels(*views.tree).contains("Lenses [0]"));
    }

    void deletingAFolderAsksFirst()
    {
        BidsViews views;
        PromptRecorder prompts;
        views.addFolder(1, -1, "Cameras");
        views.addItem("1000000001", StatusActive, 1);
        views.doc.changed();
        views.tree->selectFolder(1);

        prompts.queue(IMainWindow::AnswerNo);
        views.tree->deleteFolder();
        QCOMPARE(
            prompts.texts(),
            QStringList("Delete folder \"Cameras\" with all subfolders and items from the list?"));
        QVERIFY(views.doc.folderById(1));

        prompts.queue(IMainWindow::AnswerYes);
        views.tree->deleteFolder();
        QVERIFY(!views.doc.folderById(1));
        QCOMPARE(views.doc.itemCount(), 0);
        QCOMPARE(views.tree->currentFolderId(), int(CBidFolder::OpenAuctionsId));

        prompts.clear();
        views.tree->deleteFolder(); // a top-level folder stays without a question
        QVERIFY(prompts.texts().isEmpty());
    }

    void refreshNeedsASynchronisedClock()
    {
        BidsViews views;
        PromptRecorder prompts;
        CBidItem* item = views.addItem("1000000001", StatusActive);
        item->setRefreshed(true);
        views.doc.changed();
        views.list->selectAllRows();

        views.list->refreshSelected();
        QCOMPARE(prompts.texts(), QStringList("Please, synchronize time before continue."));
        QVERIFY(item->isRefreshed());

        views.app().clock().setOffset(0);
        views.list->refreshSelected();
        QVERIFY(!item->isRefreshed());
        QCOMPARE(item->lastRefreshTime(), BidsViews::kNow);
    }

    void startAndStopFollowTheSelectedItem()
    {
        BidsViews views;
        CMainFrame frame(views.app());
        frame.setDocument(views.doc);
        QAction* start = frame.command(CmdStart);
        QAction* stop = frame.command(CmdStop);
        CBidItem* item = views.addItem("1000000001", StatusActive);
        views.addItem("1000000002", StatusActive)->setMaxPrice(5.0f);
        views.doc.changed();
        QVERIFY(!start->isEnabled() && !stop->isEnabled());

        frame.bidsList()->selectRow(0);
        QVERIFY2(!start->isEnabled(), "no maximum price");
        item->setMaxPrice(12.5f);
        const struct
        {
            quint32 status;
            bool start;
            bool stop;
        } rules[] = {{StatusNotActive, true, false},     {StatusActive, true, false},
                     {StatusActiveOutbid, true, false},  {StatusRunning, false, true},
                     {StatusRunningOutbid, false, true}, {StatusStopped, true, false},
                     {StatusRetracted, true, false},     {StatusWon, false, false},
                     {StatusLost, false, false},         {StatusPrivate, false, false},
                     {StatusError, false, false}};
        // The status changes under the selected row, as a bid thread changes it.
        for (const auto& rule : rules) {
            item->setStatus(rule.status);
            frame.bidsList()->itemRowChanged(0);
            QVERIFY2(start->isEnabled() == rule.start, qPrintable(QString::number(rule.status)));
            QVERIFY2(stop->isEnabled() == rule.stop, qPrintable(QString::number(rule.status)));
        }

        // Start needs exactly one item.
        item->setStatus(StatusActive);
        views.doc.changed();
        frame.bidsList()->selectAllRows();
        QVERIFY(!start->isEnabled());
    }

    void theWindowHandsTheBiddingCommandsToTheEngine()
    {
        BidsViews views;
        CMainFrame frame(views.app());
        frame.setDocument(views.doc);
        QStringList calls;
        CMainFrame::EngineCommands engine;
        engine.start = [&calls](const QString& id) { calls << "start " + id; };
        engine.stop = [&calls](const QString& id) { calls << "stop " + id; };
        engine.startReadyBids = [&calls] { calls << "start bids"; };
        engine.synchroniseTime = [&calls] { calls << "sync"; };
        QVERIFY(!frame.command(CmdStartBids)->isEnabled());
        frame.setEngineCommands(engine);
        QVERIFY(frame.command(CmdStartBids)->isEnabled());
        QVERIFY(frame.command(CmdSynchroniseTime)->isEnabled());

        views.addItem("1000000001", StatusActive)->setMaxPrice(3.0f);
        views.addItem("1000000002", StatusRunning)->setMaxPrice(3.0f);
        views.doc.changed();
        frame.bidsList()->selectRow(0);
        frame.command(CmdStart)->trigger();
        frame.bidsList()->selectRow(1);
        frame.command(CmdStop)->trigger();
        frame.command(CmdStartBids)->trigger();
        frame.command(CmdSynchroniseTime)->trigger();
        QCOMPARE(calls, QStringList({"start 1000000001", "stop 1000000002", "start bids", "sync"}));

        // Commands posted to the bids view go to the engine once it is there.
        QList<int> routed;
        frame.setBidsViewHandler([&routed](int command) { routed << command; });
        frame.postBidsViewCommand(CmdStartBids);
        frame.postBidsViewCommand(CmdOutbidScan);
        QTRY_COMPARE(routed, QList<int>({CmdStartBids, CmdOutbidScan}));

        // The stop question of the engine comes from the window's stop dialog.
        frame.setStopAsker([](const QString& id, const QString& url) {
            return id == "1000000002" && url.endsWith("bid-retract.html")
                       ? int(IMainWindow::StopAndRetract)
                       : int(IMainWindow::StopCancelled);
        });
        QCOMPARE(frame.askStopBidding("1000000002", "http://x/help/buy/bid-retract.html"),
                 int(IMainWindow::StopAndRetract));
    }

    void deletingALeadingBidAsksWhetherToRetract()
    {
        BidsViews views;
        PromptRecorder prompts;
        views.addItem("1000000001", StatusActive);
        views.addItem("1000000002", StatusActive)->setHighBidders("Buyer");
        views.addItem("1000000003", StatusActive)->setHighBidders("buyer");
        views.doc.changed();
        QStringList asked;
        QList<ItemCommands::DeleteChoice> answers{ItemCommands::DeleteChoice::RetractAndDelete,
                                                  ItemCommands::DeleteChoice::Cancel};
        views.list->setRetractChooser([&](QWidget*, const QString& question) {
            asked << question;
            return answers.takeFirst();
        });
        views.list->selectAllRows();

        prompts.queue(IMainWindow::AnswerNo);
        views.list->deleteSelected();
        QCOMPARE(prompts.texts(),
                 QStringList("Do you want to delete selected item(s) from bids list?"));
        QCOMPARE(views.doc.itemCount(), 3);

        views.list->deleteSelected();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked.at(0), ItemCommands::retractQuestion());
        QCOMPARE(views.doc.itemCount(), 2);
        QCOMPARE(views.doc.itemAt(0)->status(), quint32(StatusRetracted));
        QCOMPARE(views.doc.itemAt(1)->status(), quint32(StatusActive)); // cancelled
        QCOMPARE(rowIds(*views.list), QStringList({"1000000002", "1000000003"}));
    }

    void theTreeKeepsOpenFoldersAndTheCurrentFolderAcrossChanges()
    {
        BidsViews views;
        PromptRecorder prompts;
        views.addFolder(1, -1, "Cameras");
        views.addFolder(2, 1, "Lenses");
        views.addFolder(3, -1, "Books");
        views.doc.changed();
        CBidsLeftView& tree = *views.tree;
        const QPersistentModelIndex cameras = tree.indexOfFolder(1);
        const QPersistentModelIndex books = tree.indexOfFolder(3);
        QVERIFY(tree.isExpanded(tree.indexOfFolder(-1)) && tree.isExpanded(cameras));
        QSignalSpy chosen(&tree, &CBidsLeftView::currentFolderChanged);

        tree.collapse(cameras);
        tree.selectFolder(3);
        QCOMPARE(views.doc.selectedFolderId(), 3);
        QCOMPARE(chosen.count(), 1);
        views.addFolder(4, 3, "Novels");
        views.addItem("1000000001", StatusActive, 1);
        views.doc.changed();
        QVERIFY(!tree.isExpanded(cameras));
        QVERIFY(tree.isExpanded(books));
        QVERIFY(tree.isExpanded(tree.indexOfFolder(4)));
        QCOMPARE(tree.currentIndex(), QModelIndex(books));
        QVERIFY(tree.selectionModel()->isSelected(books));
        QCOMPARE(cameras.data().toString(), QString("Cameras [1]"));
        QCOMPARE(chosen.count(), 1);

        // The current folder goes: its parent is shown, as the document chose.
        tree.selectFolder(4);
        prompts.queue(IMainWindow::AnswerYes);
        tree.deleteFolder();
        QVERIFY(!tree.indexOfFolder(4).isValid());
        QCOMPARE(tree.currentFolderId(), 3);
        QCOMPARE(chosen.count(), 3);
        QCOMPARE(chosen.last().at(0).toInt(), 3);
        QCOMPARE(labels(tree), QStringList({"Open auctions [0]", "Cameras [1]", "Lenses [0]",
                                            "Books [0]", "Closed auctions [0]"}));
    }

    void subFoldersFollowTheirNamesWhenSortingIsOn()
    {
        BidsViews views;
        views.app().settings().sortFolders = 1;
        views.addFolder(1, -1, "Cameras");
        views.addFolder(2, -1, "Books");
        views.addFolder(3, 0, "Archive");
        views.doc.changed();
        QCOMPARE(labels(*views.tree), QStringList({"Open auctions [0]", "Books [0]", "Cameras [0]",
                                                   "Closed auctions [0]", "Archive [0]"}));
        views.tree->show();
        QVERIFY(QTest::qWaitForWindowExposed(views.tree.get()));

        views.tree->selectFolder(2);
        views.tree->renameFolder();
        QLineEdit* editor = openEditor(*views.tree);
        QVERIFY(editor);
        editor->setText("Stamps");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(views.doc.folderById(2)->name(), QString("Stamps"));
        QCOMPARE(labels(*views.tree), QStringList({"Open auctions [0]", "Cameras [0]", "Stamps [0]",
                                                   "Closed auctions [0]", "Archive [0]"}));
        QCOMPARE(views.tree->currentFolderId(), 2);
        QCOMPARE(views.tree->currentIndex().row(), 1);
    }

    void keysMoveRenameAndDelete()
    {
        BidsViews views;
        PromptRecorder prompts;
        views.addFolder(1, -1, "Cameras");
        views.addItem("1000000001", StatusActive, 1);
        views.doc.changed();
        CBidsLeftView& tree = *views.tree;
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        QCOMPARE(tree.currentFolderId(), int(CBidFolder::OpenAuctionsId));

        QTest::keyClick(&tree, Qt::Key_Down);
        QCOMPARE(tree.currentFolderId(), 1);
        QCOMPARE(views.doc.selectedFolderId(), 1);
        QCOMPARE(rowIds(*views.list), QStringList("1000000001"));

        QTest::keyClick(&tree, Qt::Key_F2);
        QLineEdit* editor = openEditor(tree);
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Escape);
        QTRY_VERIFY(!openEditor(tree));
        QCOMPARE(views.doc.folderById(1)->name(), QString("Cameras"));

        prompts.queue(IMainWindow::AnswerNo);
        QTest::keyClick(&tree, Qt::Key_Delete);
        QCOMPARE(prompts.texts().size(), 1);
        QVERIFY(views.doc.folderById(1));

        QTest::keyClick(&tree, Qt::Key_Up);
        QTest::keyClick(&tree, Qt::Key_F2); // "Open auctions" keeps its name
        QVERIFY(!openEditor(tree));
    }

    void listRowsDraggedOverAFolderShadeItAndMoveThereOnDrop()
    {
        BidsViews views;
        views.addFolder(1, -1, "Cameras");
        views.addItem("1000000001", StatusActive);
        views.doc.changed();
        CBidsLeftView& tree = *views.tree;
        tree.resize(300, 200);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        QMimeData rows;
        rows.setData(CBidsRightView::kDragFormat, ItemCommands(views.doc).dragData({0}));
        QMimeData text;
        text.setText("1000000001");
        const QRect cameras = tree.visualRect(tree.indexOfFolder(1));
        const QPoint on = cameras.center();
        const QRgb shade = tree.palette().color(QPalette::Highlight).lighter(160).rgb();
        const auto shadeAt = [&tree, &cameras] {
            const QImage image = tree.viewport()->grab().toImage();
            return image.pixel(cameras.right() - 4, cameras.center().y());
        };

        QDragEnterEvent foreign(on, Qt::MoveAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &foreign);
        QVERIFY(!foreign.isAccepted());

        QDragEnterEvent enter(on, Qt::MoveAction, &rows, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDragMoveEvent move(on, Qt::MoveAction, &rows, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &move);
        QVERIFY(move.isAccepted());
        QCOMPARE(shadeAt(), shade);
        QDragMoveEvent below(QPoint(on.x(), tree.viewport()->height() - 2), Qt::MoveAction, &rows,
                             Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &below);
        QVERIFY(!below.isAccepted());
        QVERIFY(shadeAt() != shade);

        QApplication::sendEvent(tree.viewport(), &move);
        QDropEvent drop(on, Qt::MoveAction, &rows, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QVERIFY(shadeAt() != shade);
        // Moved once the drag is over.
        QCOMPARE(views.doc.itemAt(0)->folder()->id(), int(CBidFolder::OpenAuctionsId));
        QTRY_COMPARE(views.doc.itemAt(0)->folder()->id(), 1);
        QCOMPARE(labels(tree).mid(0, 2), QStringList({"Open auctions [0]", "Cameras [1]"}));
    }

    void aRightClickMakesTheFolderCurrentAndOpensTheMenu()
    {
        BidsViews views;
        views.addFolder(1, -1, "Cameras");
        views.doc.changed();
        std::map<int, QAction*> actions;
        QObject owner;
        for (int id : CBidsLeftView::contextCommands()) {
            if (id != 0)
                actions[id] = new QAction(QString::number(id), &owner);
        }
        CBidsLeftView& tree = *views.tree;
        tree.setCommandActions(
            [&actions](int id) { return actions.count(id) ? actions[id] : nullptr; });
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        QVERIFY(!actions[CmdDeleteFolder]->isEnabled());

        QStringList shown;
        QTimer::singleShot(0, &tree, [&shown] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (const QAction* action : menu->actions())
                shown << (action->isSeparator() ? QString("-") : action->text());
            menu->close();
        });
        const QPoint at = tree.visualRect(tree.indexOfFolder(1)).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, tree.viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree.viewport(), &click);
        QCOMPARE(tree.currentFolderId(), 1);
        QCOMPARE(views.doc.selectedFolderId(), 1);
        QVERIFY(actions[CmdDeleteFolder]->isEnabled());
        QCOMPARE(shown.size(), int(CBidsLeftView::contextCommands().size()));
        QCOMPARE(shown.at(3), QString("-"));
        QCOMPARE(shown.at(0), QString::number(CmdAddFolder));
    }

    void theWindowPutsTheViewsInPlaceAndAsksBeforeExitingWithActiveBids()
    {
        BidsViews views;
        PromptRecorder prompts;
        CMainFrame frame(views.app());
        frame.setDocument(views.doc);
        QVERIFY(frame.folderTree());
        QCOMPARE(frame.bidsFrame()->listPane(), frame.bidsList());
        views.addItem("1000000001", StatusWon, -2);
        views.doc.changed();
        QCOMPARE(frame.folderTree()->model()->index(1, 0).data().toString(),
                 QString("Closed auctions [1]"));
        QVERIFY(frame.command(CmdDeleteFolder) && !frame.command(CmdDeleteFolder)->isEnabled());

        QSignalSpy exits(&frame, &CMainFrame::exitRequested);
        frame.exitProgram();
        QVERIFY(prompts.texts().isEmpty());
        QCOMPARE(exits.count(), 1);

        views.addItem("1000000002", StatusRunningOutbid);
        prompts.queue(IMainWindow::AnswerNo);
        frame.exitProgram();
        QCOMPARE(prompts.texts().size(), 1);
        QCOMPARE(exits.count(), 1);
    }
};

QTEST_MAIN(BidsViewsTest)
#include "bidsviewstest.moc"
