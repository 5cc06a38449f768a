#pragma once

// Numbers of the window's commands. The numbers the engine, the mail commands and the
// log speak of are kept; the others only have to be distinct.
enum CommandId
{
    // Site menu: 104 + site number (105 United States ... 114 Ireland).
    CmdSiteFirst = 105,
    CmdSiteLast = 114,

    CmdRefresh = 198,
    CmdRedisplay = 32779,
    CmdDeleteBid = 32798,
    CmdAddItem = 32799,
    CmdEditView = 32800,
    CmdSynchroniseTime = 32803,
    CmdStart = 32805,
    CmdStop = 32806,
    CmdStartBids = 32807,
    CmdAddFolder = 32812,
    CmdDeleteFolder = 32813,
    CmdRenameFolder = 32815,
    CmdViewItemPage = 32823,
    CmdFolderProperties = 32825,
    CmdEmailToSeller = 32827,
    CmdSavePage = 32829,
    CmdLargeIcons = 32849,
    CmdViewColumns = 32851,
    CmdOutbidScan = 32853,

    CmdFileNew = 57600,
    CmdFileOpen = 57601,
    CmdFileSave = 57603,
    CmdFileSaveAs = 57604,
    CmdSelectAll = 57642,
    CmdAbout = 57664,
    CmdExit = 57665,
    CmdViewToolbar = 59392,
    CmdViewStatusBar = 59393,

    // Commands without a number of their own elsewhere.
    CmdOptions = 33001,
    CmdLogViewer,
    CmdSendLog,
    CmdSearchService,
    CmdInternalBrowser,
    CmdBidsWindow,
    CmdUpdateWizard,
    CmdStartupWizard,
    CmdViewOutlookBar,
    CmdRestore,
    CmdBookmarklet,
};
