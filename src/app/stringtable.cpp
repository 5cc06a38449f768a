#include "app/stringtable.h"

#include <algorithm>
#include <iterator>

namespace {

struct Entry
{
    int id;
    const char* text; // UTF-8
};

// Sorted by id; text() relies on it, and the check below enforces it at compile time.
constexpr Entry kEntries[] = {
    // Status bar clock label.
    {132, "eBay® time :"},

    // Bid verdicts and notices.
    {134, "Your maximum price entered is already below the required minimum bid for this item."},
    {135, "You lost the auction !"},
    {136, "You won the auction !"},
    {137, "Maximum price must be defined !"},
    {138, "You must define user name and password !"},

    // Built-in folder names.
    {140, "Open auctions"},
    {141, "Closed auctions"},

    // Bid status names: 142 + status code.
    {142, "Not active"},
    {143, "Active"},
    {144, "Active / outbidded"},
    {145, "Running"},
    {146, "Running / outbidded"},
    {147, "Stopped"},
    {148, "Closed (bids retracted)"},
    {149, "Won"},
    {150, "Lost"},
    {151, "Private"},
    {152, "Item not found/Site unavailable/Other error"},

    // Item dialog checks.
    {153, "Please, fill 'Id' field."},
    {154, "Please, fill 'Maximum price' field."},

    // Bids list column titles, columns 0..11.
    {156, "Status / ID"},
    {157, "Name"},
    {158, "Count"},
    {159, "Current Price"},
    {160, "Maximum Price"},
    {161, "Bidder(s)"},
    {162, "Time ends (eBay®)"},
    {163, "Time left"},
    {164, "Seller"},
    {165, "Category"},
    {166, "Bids"},
    {167, "Shipping costs"},

    // Bids list, time synchronisation, connection, bidding and options messages.
    {168, "An auction with this id already present in auctions/bids list."},
    {169, "Please, synchronize time before continue."},
    {174, "Please, wait for time synchronization..."},
    {175, "Do you want to start selected bid manually?"},
    {176, "Start selected bid?"},
    {179, "Message for bid #%s. "},
    {180, "Error in bid #%s."},
    {186, "Cannot establish a connection to Internet."},
    {195, "Site unavailable - '%s'."},
    {204, "eBay® site is temporarily inaccessible or their page format has been changed."},
    {207, "Time synchronized successfully."},
    {209, "Bid #%s: Username/password was not accepted by the %s. Check your account settings."},
    {210, "Cannot retract bid #%s. Check log for details."},
    {211, "Refreshing info on bid #%s. Please, wait..."},
    {212, "Auction settings successfully updated."},
    {213, "System clock may not be stable. Check it before time synchronization."},
    {214, "eBay® site is temporarily unavailable due to scheduled maintenance..."},
    {216, "You've bought %d units of auction #%s."},
    {217, "Page successfully saved to %s."},
    {218, "Private auction has ended. The seller will send a confirmation e-mail to you soon, if "
          "necessary."},
    {220, "Fail to dial using '%s'."},
    {221, "The passwords you typed do not match. Type the new passwords in both text boxes."},
    {224, "Cannot work with offline pages. Please, switch to the Online mode."},
    {225, "Add new site"},
    {229, "Bid #%s Ready..."},
    {232, "Invalid Item."},
    {233, "eBay®: Registration blocked!"},
    {238, "Add to current selected folder"},
    {239, "Unable to load or incorrect version: pppd. If you want to connect using dial-up you "
          "must install dial-up support (pppd, in the Debian package ppp) on your system first."},
    {242, "Close Internet connection?"},

    // Search Service sheet and its result list columns.
    {244, "Search Data"},
    {245, "Search Results"},
    {246, "Search Service"},
    {249, "URL '%s' not available."},
    {250, "Item number"},
    {251, "Item Title"},
    {252, "Price"},
    {253, "Bids"},
    {254, "Time Left"},

    // Item dialog status line, wizards, favourites and the installer download.
    {259, "The auction is private, the User IDs of bidders are not displayed on the listing."},
    {260, "Bidding has ended for this item."},
    {261, "Buy It Now! Skip the online auction and get your item sooner!"},
    {262, "Startup Wizard"},
    {263, "Are you sure you wish to cancel this wizard?\n\nYou can always re-launch this wizard by "
          "going to \"Tools\" menu."},
    {265, "Set up eBay® auction account."},
    {266, "Register with eBay®!"},
    {267, "Enter email address."},
    {268, "Congratulations!"},
    {270, "Please, enter a valid email address."},
    {271, "Your User ID is not valid. Please try again."},
    {272, "Your eBay® password is too short, minimum 6 character needed."},
    {273, "Updating of eBay® sites settings completed successfully."},
    {274, "Update failed. Please, check your internet connection."},
    {275, "Automatically disconnected from Internet!"},
    {276, "Error disconnecting from Internet. Please, see log fail or contact with support."},
    {277, "The option \"only one item wins\" cannot be set for the\nuser folder with private "
          "auction. Option is disabled."},
    {280, "This category already exists in Favorites."},
    {281, "The category page has been added to Favorites."},
    {283, "Close"},
    {284, "The checked items were added to the list successfully."},
    {285, "The category \"%s\" will be deleted from the favorites list."},
    {286, "Update Wizard"},
    {287, "An error occured while opening the file to be downloaded, Error: %1"},
    {288, "%1 from %2"},
    {289, "%1 Bytes"},
    {290, "%1 KB"},
    {291, "%1 MB"},
    {292, "%1 of %2"},
    {293, "%1 sec"},
    {294, "%1 min"},
    {295, "%1 min %2 sec"},
    {296, "%1 (%2 copied)"},
    {297, "%1 Bytes/Sec"},
    {298, "%1 KB/Sec"},
    {299, "An error occurred while attempting to download the file, Error: %1"},
    {300, "An error occurred connecting to the server, Error: %1"},
    {301, "Retrieving the file completed"},
    {303, "Your access password: %s"},
    {304, "Your eBay® user ID or password does not match with saved account information. Please, "
          "try again..."},
    {305, "Enter your maximum bid %s%.2f or more."},
    {308, "Failed to receive a valid response from the server"},
    {309, "Failed to receive a valid HTTP response from the server, Status = %1"},
    {310, "Getting file information"},
    {311, "Retrieving the file"},
    {312, "An error occurred while downloading the file, Error: %1"},
    {313, "Resolving name: %1"},
    {314, "Resolved name to %1"},
    {315, "Connecting to %1"},
    {316, "Connected to %1"},
    {317, "Redirecting to %1"},

    // Start-up, options, Search Service, stop dialog and shutdown.
    {325, "Verifying connect to Internet..."},
    {339,
     "Attention please! This setting is effective only for automatic connection of the program to "
     "the Internet.\nIf you have connected manually then no automatic disconnection is possible."},
    {341, "New version of the Gavelin released. Version %d.%.2d"},
    {342, "A new version is not available."},
    {350, "One or more selected search result auctions are already in your bids list.\nDuplicate "
          "bids were not created."},
    {352, "Stop bidding and retract all bids?"},
    {357, "Stop only"},
    {359, "Stop && Retract bids"},
    {360, "Gavelin was running with active auctions.\nNo bids will be placed while your computer "
          "is off."},
    {361, "You must first select a saved search."},
    {362, "The saved search name is empty. Please, input valid name."},
    {363, "The saved search with this name is already present.\nDo you want to overwrite it?"},
    {368, "For downloading click the link:"},
    {376, "Shutdown system"},
    {377, "The system will be immediately shutdown and power will be switched off."},

    // Send the log file: the consent notice.
    {387, "The log file will be compressed and sent to Gavelin support by e-mail.\n\nIt holds "
          "the data of your auctions (item numbers, prices, sellers and the program's steps) "
          "but none of your passwords. By sending it you agree that support reads it to help "
          "you.\n\nSend the log file now?"},

    // Site refusals after signing in.
    {389, "eBay®: You have 1 or more negative feeback scores, thus you won't be able to purchase "
          "this item by auction."},
    {390, "eBay®: Buying activity limit reached..."},
    {391, "eBay®: You are registered in a country to which the seller doesn't ship"},

    // Mail: sender name, errors, notification mails and mail commands.
    {396, "Zaru Vuzarovuz"},
    {402, "SMTP internal error occurred..."},
    {403, "SMTP error occurred..."},
    {405, "You have won the auction #%s. The final price is %.2f %s.\r\n"},
    {406, "The bidding of item #%s is ended.\r\n"},
    {407, "Zaru Vuzarovuz: Notifycation of ended bidding... (#%s)"},
    {408, "Your bid for auction #%s was overbid. The current price is %.2f %s.\r\n"},
    {409, "Zaru Vuzarovuz: Notifycation of overbid item...(#%s)"},
    {410, "link to item: "},
    {411, "0 items in list found."},
    {412, "Zaru Vuzarovuz: Current bids list"},
    {413, "status              \tid        \tcurrent price\tbidder\t\tseller\r\n"},
    {414, "Zaru Vuzarovuz: Item #%s was added with price %s..."},
    {416, "Zaru Vuzarovuz: Send bids list..."},
    {417, "POP error occurred..."},
    {418, "Zaru Vuzarovuz: Item #%s was deactivated..."},
    {419, "Zaru Vuzarovuz: unknown command."},

    // Further user messages.
    {420, "Sorry, but your favourite list is full. Please delete one of the current favourites to "
          "be able to save a new one to the list."},
    {424, "You must define a user name and password."},
    {425, "#%s: Quantity must be %d or fewer."},
    {428, "You've entered a maximum bid of %.2f, which is over the warning level of %u."},
    {429, "Zaru Vuzarovuz: Item %s was changed... maxprice = %.2f"},
    {430, "Found items"},
    {432, "The search for [%s] has been successful.\n"},
    {433, "Please, open the Search Service to view the results."},
    {434, "Bid #%s, state = The set maximum bidding price is too low."},
    {435, "A problem with your Internet connection has occurred."},
    {436, "Bid #%s: It was not possible to place the bid. Bidding has ended for this item."},

    // Log lines: connection, site settings update, shutdown, Search Service, autosave.
    {448, "Internet connected manual..."},
    {449, "Load Site Settings >> OK!"},
    {450, "Update process fail! Body is empty."},
    {451, "Update process fail! section [START] not found."},
    {452, "Update process fail! VENDRA_VERSION incorrect!"},
    {453, "Update process fail! SETTINGS_VERSION incorrect!"},
    {454, "Update process fail! URL_SETTINGS incorrect!"},
    {455, "Update process fail! URL_PATCH_WS incorrect!"},
    {456, "Update process fail! URL_PATCH_NS incorrect!"},
    {457, "Update process fail! section [COMMANDS] not found!"},
    {458, "Update process fail! section [SITES] not found!"},
    {459, "Update process fail! section [%s] not found, continue..."},
    {460, "Update Settings process fail!"},
    {462, "new Settings %d.%.2d [0x%x], Vendra %d.%.2d [0x%x]"},
    {463, "Shutdown system... successfully!"},
    {464, "Navigating start page of internal browser!"},
    {469, "Search Service: search commands not found!"},
    {470, "Search Service: 'category keyword' not found..."},
    {471, "Search Service: 'Items location in' keyword not found..."},
    {472, "Search Service: 'Items available to' keyword not found..."},
    {473, "Autosaving document..."},
    {476, "Shutdown system..."},
    {477, "Shutdown system... is cancelled!"},
    {479, "Update settings manually from options."},
    {481, "Fail to read back index.html."},
    {482, "Current site %s"},
    {487, "Folder \"%s\" added."},

    // Log lines of the bid thread steps.
    {492, "Bid #%s manually started."},
    {493, "Bid #%s: loading page..."},
    {494, "Bid #%s: Fail finding form in ET_CHECK_LOGIN(resubmit)."},
    {495, "Bid #%s: resubmitted!"},
    {496, "Bid #%s: ET_CHECK_LOGIN."},
    {498, "Bid #%s: site_next_price=%.2f user_max_price=%.2f"},
    {499, "Bid #%s, user is last bidder."},
    {500, "Bid #%s: ET_VIEWITEM: fail set MAXBID value"},
    {501, "Bid #%s: ET_VIEWITEM: fail set QUANT value"},
    {502, "Bid #%s: submitted. CNT=%d."},
    {503, "Bid #%s: ET_BIDDING_ON_ITEM."},
    {504, "Bid #%s: Fail finding form in ET_BIDDING_ON_ITEM."},
    {506, "Bid #%s: ET_BIDDING_ON_ITEM: fail set LOGIN value!"},
    {507, "Bid #%s: ET_BIDDING_ON_ITEM: fail set PASS value!"},
    {508, "Bid #%s: ET_RETRACT."},
    {509, "Bid #%s: Fail finding form in ET_RETRACT."},
    {510, "Bid #%s: ET_RETRACT: fail set LOGIN value!"},
    {511, "Bid #%s: ET_RETRACT: fail set PASS value!"},
    {512, "Bid #%s: ET_BIDRETRACTION."},
    {513, "Bid #%s: Fail finding form in ET_BIDRETRACTION."},
    {514, "Bid #%s: ET_BIDRETRACTION_OK."},

    // Browser start failure and further log lines.
    {516, "Can't start IE. hr=0x%x"},
    {517, "Time span: %.2d:%.2d:%.2d"},
    {518, "Current site changed... (%s)"},
    {522, "Bid #%s, start bidding..."},
    {523, "Error: Failed to parse the URL %s"},
    {524, "Saving bid #%s in %s..."},
    {525, "%s bid(s)"},
    {527, "New version available...[0x%x]"},
    {528, "Bid #%s: ET_VIEWITEM."},

    // Application title.
    {57344, "Gavelin"},
};

constexpr bool idsStrictlyAscending()
{
    for (std::size_t i = 1; i < std::size(kEntries); ++i) {
        if (kEntries[i - 1].id >= kEntries[i].id)
            return false;
    }
    return true;
}

static_assert(idsStrictlyAscending(), "string table ids must be sorted and unique");

} // namespace

QString StringTable::text(int id)
{
    const auto* it = std::lower_bound(std::begin(kEntries), std::end(kEntries), id,
                                      [](const Entry& entry, int key) { return entry.id < key; });
    if (it == std::end(kEntries) || it->id != id)
        return {};
    return QString::fromUtf8(it->text);
}
