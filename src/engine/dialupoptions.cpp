#include "engine/dialupoptions.h"

#include "app/stringtable.h"
#include "engine/dialupconnection.h"

DialUpOptions DialUpOptions::load(const DialUpConnection& dialUp, const QString& phoneEntry)
{
    DialUpOptions options;
    options.m_enabled = dialUp.entries(&options.m_entries);
    options.m_selected = static_cast<int>(options.m_entries.indexOf(phoneEntry));
    return options;
}

QString DialUpOptions::unavailableText() const
{
    return m_enabled ? QString() : StringTable::text(239);
}

QString DialUpOptions::autoDisconnectNotice()
{
    return StringTable::text(339);
}
