#include "requestlog.h"

#include <nlohmann/json.hpp>

uint64_t RequestLog::add(Entry entry)
{
    std::lock_guard lock(m_mutex);
    entry.seq = m_nextSeq++;
    m_entries.push_back(std::move(entry));
    if (m_entries.size() > kMaxEntries)
        m_entries.pop_front();
    return m_entries.back().seq;
}

void RequestLog::clear()
{
    std::lock_guard lock(m_mutex);
    m_entries.clear();
}

std::deque<RequestLog::Entry> RequestLog::entries() const
{
    std::lock_guard lock(m_mutex);
    return m_entries;
}

Json RequestLog::toJson(uint64_t since, const std::string& page) const
{
    std::lock_guard lock(m_mutex);
    Json list = Json::array();
    for (const Entry& e : m_entries) {
        if (e.seq <= since || (!page.empty() && e.page != page))
            continue;
        Json j = {{"seq", e.seq},   {"siteTime", e.siteTime}, {"method", e.method},
                  {"path", e.path}, {"query", e.query},       {"page", e.page}};
        if (!e.item.empty())
            j["item"] = e.item;
        if (!e.form.empty()) {
            Json form = Json::object();
            for (const auto& f : e.form)
                form[f.first] = f.second;
            j["form"] = std::move(form);
        }
        if (!e.user.empty())
            j["user"] = e.user;
        j["status"] = e.status;
        if (!e.faults.empty())
            j["faults"] = e.faults;
        if (!e.outcome.empty())
            j["outcome"] = e.outcome;
        list.push_back(std::move(j));
    }
    return {{"next", m_nextSeq - 1}, {"entries", std::move(list)}};
}
