#pragma once

#include "auction.h"
#include "json.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// Everything the site knows: listings, member accounts, signed-in sessions and the site-wide
// switches. Callers hold mutex() for the whole of one request so a page is rendered from
// one consistent state.
class AuctionHouse
{
public:
    struct Account
    {
        std::string userid;
        std::string password;
        int feedbackScore = 10;
        bool suspensionNotice = false;
        bool negativeFeedback = false;
        bool buyingLimit = false;
        bool registrationBlocked = false;
    };

    struct Session
    {
        std::string userid;
        bool noticeAccepted = false;
    };

    struct Options
    {
        Language language = Language::English; // pages without a listing to go by
        bool maintenance = false;
        bool alwaysSignIn = false; // ignore the session cookie on bids and purchases
        unsigned settingsVersion = 0x10001;
        unsigned programVersion = 0x10000;
        // The program update package, served at /update/<patchName>: `patchBytes` bytes at
        // `patchRate` bytes a second (0: at once), behind Basic authentication when
        // `patchUser` is set.
        std::string patchName = "gavelin-update.bin";
        int patchBytes = 5 * 1024 * 1024;
        int patchRate = 0;
        std::string patchUser;
        std::string patchPassword;
    };

    static constexpr const char* kDefaultUser = "practice_user";
    static constexpr const char* kDefaultPassword = "practice";
    static constexpr uint64_t kFirstItem = 3000000001ULL;

    AuctionHouse();

    std::mutex& mutex() { return m_mutex; }
    Options& options() { return m_options; }

    // Replaces listings and accounts with the script's and drops every session.
    // Throws std::invalid_argument on a bad script, leaving the old state in place.
    void load(const Json& script, double now);

    Auction& create(const Json& input, double now);
    void change(Auction& auction, const Json& input, double now);
    // Bids or purchases at times relative to now ("in") or to the end ("beforeEnd").
    void addBids(Auction& auction, const Json& list, const std::string& context, double now);
    Auction* find(uint64_t item);
    Auction* find(const std::string& itemText);
    bool remove(uint64_t item);
    std::vector<Auction*> auctions();

    const Account* account(const std::string& userid) const;
    const Account& putAccount(const Json& input);
    Json accountsJson() const;

    std::string openSession(const std::string& userid);
    Session* session(const std::string& token);
    void clearSessions();

private:
    static Account accountFrom(const Json& input, const std::string& context, const Account* base);

    std::mutex m_mutex;
    Options m_options;
    std::map<uint64_t, std::unique_ptr<Auction>> m_auctions;
    std::map<std::string, Account> m_accounts;
    std::map<std::string, Session> m_sessions;
    uint64_t m_nextItem = kFirstItem;
    uint64_t m_nextSession = 1;
};
