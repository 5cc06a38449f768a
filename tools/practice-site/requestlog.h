#pragma once

#include "json.h"
#include "siterequest.h"

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

// Every request the site answered, with the form fields it carried and the site time it
// arrived, for tests to read back.
class RequestLog
{
public:
    struct Entry
    {
        uint64_t seq = 0;
        double siteTime = 0;
        std::string method;
        std::string path;
        std::string query;
        std::string page;
        std::string item;
        SiteRequest::Fields form;
        std::string user; // signed-in member, if any
        int status = 0;
        std::string faults;
        std::string outcome; // what a bid or purchase came to
    };

    uint64_t add(Entry entry);
    void clear();
    // Entries after `since`, optionally only of one page.
    Json toJson(uint64_t since, const std::string& page) const;
    std::deque<Entry> entries() const;

private:
    static constexpr size_t kMaxEntries = 100000;

    mutable std::mutex m_mutex;
    std::deque<Entry> m_entries;
    uint64_t m_nextSeq = 1;
};
