#pragma once

#include "json.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// Faults switched on for tests, matched per request by path, page (command) and item.
class FaultSwitch
{
public:
    enum class Kind
    {
        Status,
        Delay,
        Reset,
        Truncate,
        Maintenance,
        Wording,
        Hold
    };

    struct Fault
    {
        int id = 0;
        Kind kind = Kind::Status;
        std::string path;
        std::string page;
        std::string item;
        int status = 500;
        int delayMs = 0;
        long bytes = -1; // truncate: bytes kept; -1 keeps half
        std::string from;
        std::string to;
        bool settings = false; // wording: also in the sites file of the settings update
        int remaining = -1;    // applications left; -1 for ever
        int hits = 0;
    };

    // Throws std::invalid_argument on a bad input.
    int add(const Json& input);
    bool remove(int id);
    void clear();
    Json toJson() const;

    // The faults that apply to one request, in the order they were added. Each one counts
    // as used once. A matching hold fault keeps the request here until it is removed (or
    // for kMaxHoldMs at most), so a test can change the site while a request is under way.
    std::vector<Fault> take(const std::string& path, const std::string& page,
                            const std::string& item);
    // Wording changes that the settings update follows.
    std::vector<std::pair<std::string, std::string>> settingsReplacements() const;

    static const char* kindName(Kind kind);
    static constexpr int kMaxHoldMs = 60000;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_removed;
    std::vector<Fault> m_faults;
    int m_nextId = 1;
};
