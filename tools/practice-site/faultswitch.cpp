#include "faultswitch.h"

#include "fieldreader.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <stdexcept>

const char* FaultSwitch::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Status:
        return "status";
    case Kind::Delay:
        return "delay";
    case Kind::Reset:
        return "reset";
    case Kind::Truncate:
        return "truncate";
    case Kind::Maintenance:
        return "maintenance";
    case Kind::Wording:
        return "wording";
    case Kind::Hold:
        return "hold";
    }
    return "status";
}

int FaultSwitch::add(const Json& input)
{
    const FieldReader r(input, "fault");
    Fault f;
    const std::string kind = r.text("kind", "");
    bool known = false;
    for (const Kind k : {Kind::Status, Kind::Delay, Kind::Reset, Kind::Truncate, Kind::Maintenance,
                         Kind::Wording, Kind::Hold}) {
        if (kind == kindName(k)) {
            f.kind = k;
            known = true;
        }
    }
    if (!known)
        throw std::invalid_argument("fault.kind: must be status, delay, reset, truncate, "
                                    "maintenance, wording or hold");
    f.path = r.text("path", "");
    f.page = r.text("page", "");
    f.item = r.text("item", "");
    if (!f.item.empty() && FieldReader::parseItemNumber(f.item) == 0)
        throw std::invalid_argument("fault.item: must be an item number");
    f.status = r.integer("status", 500, 100, 599);
    f.delayMs = r.integer("delayMs", f.kind == Kind::Delay ? 1000 : 0, 0, 120000);
    f.bytes = r.integer("bytes", -1, -1, 1 << 30);
    f.from = r.text("from", "");
    f.to = r.text("to", "");
    f.settings = r.flag("settings", false);
    if (f.kind == Kind::Wording && f.from.empty())
        throw std::invalid_argument("fault.from: a wording fault needs the text to change");
    f.remaining = r.integer("count", -1, -1, 1 << 30);
    if (f.remaining == 0)
        throw std::invalid_argument("fault.count: must be positive, or -1 for ever");

    std::lock_guard lock(m_mutex);
    f.id = m_nextId++;
    m_faults.push_back(f);
    return f.id;
}

bool FaultSwitch::remove(int id)
{
    std::lock_guard lock(m_mutex);
    const bool removed = std::erase_if(m_faults, [id](const Fault& f) { return f.id == id; }) > 0;
    m_removed.notify_all();
    return removed;
}

void FaultSwitch::clear()
{
    std::lock_guard lock(m_mutex);
    m_faults.clear();
    m_removed.notify_all();
}

Json FaultSwitch::toJson() const
{
    std::lock_guard lock(m_mutex);
    Json out = Json::array();
    for (const Fault& f : m_faults) {
        Json j = {{"id", f.id},
                  {"kind", kindName(f.kind)},
                  {"path", f.path},
                  {"page", f.page},
                  {"item", f.item}};
        if (f.kind == Kind::Status)
            j["status"] = f.status;
        if (f.kind == Kind::Delay)
            j["delayMs"] = f.delayMs;
        if (f.kind == Kind::Truncate)
            j["bytes"] = f.bytes;
        if (f.kind == Kind::Wording) {
            j["from"] = f.from;
            j["to"] = f.to;
            j["settings"] = f.settings;
        }
        j["count"] = f.remaining;
        j["hits"] = f.hits;
        out.push_back(std::move(j));
    }
    return out;
}

std::vector<FaultSwitch::Fault> FaultSwitch::take(const std::string& path, const std::string& page,
                                                  const std::string& item)
{
    std::unique_lock lock(m_mutex);
    std::vector<Fault> out;
    std::vector<int> holds;
    for (Fault& f : m_faults) {
        if (f.remaining == 0)
            continue;
        if (!f.path.empty() && f.path != path)
            continue;
        if (!f.page.empty() && f.page != page)
            continue;
        if (!f.item.empty() &&
            FieldReader::parseItemNumber(f.item) != FieldReader::parseItemNumber(item))
            continue;
        ++f.hits;
        if (f.remaining > 0)
            --f.remaining;
        out.push_back(f);
        if (f.kind == Kind::Hold)
            holds.push_back(f.id);
    }
    if (!holds.empty()) {
        m_removed.wait_for(lock, std::chrono::milliseconds(kMaxHoldMs), [&] {
            return std::none_of(m_faults.begin(), m_faults.end(), [&](const Fault& f) {
                return std::find(holds.begin(), holds.end(), f.id) != holds.end();
            });
        });
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> FaultSwitch::settingsReplacements() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::pair<std::string, std::string>> out;
    for (const Fault& f : m_faults)
        if (f.kind == Kind::Wording && f.settings && f.remaining != 0)
            out.emplace_back(f.from, f.to);
    return out;
}
