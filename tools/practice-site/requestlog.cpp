#include "requestlog.h"

#include "json.h"

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
        Json j = Json::object();
        j.set("seq", e.seq);
        j.set("siteTime", e.siteTime);
        j.set("method", e.method);
        j.set("path", e.path);
        j.set("query", e.query);
        j.set("page", e.page);
        if (!e.item.empty())
            j.set("item", e.item);
        if (!e.form.empty()) {
            Json form = Json::object();
            for (const auto& f : e.form)
                form.set(f.first, f.second);
            j.set("form", std::move(form));
        }
        if (!e.user.empty())
            j.set("user", e.user);
        j.set("status", e.status);
        if (!e.faults.empty())
            j.set("faults", e.faults);
        if (!e.outcome.empty())
            j.set("outcome", e.outcome);
        list.push(std::move(j));
    }
    Json out = Json::object();
    out.set("next", m_nextSeq - 1);
    out.set("entries", std::move(list));
    return out;
}
