#pragma once

#include <QString>

// The numbered texts shown to the user and written to the log.
namespace StringTable {

// The text of entry `id`; an empty string for a number the table does not hold.
QString text(int id);

// Entry 142 + status code: the status names of a bid.
inline QString statusText(int status)
{
    return text(142 + status);
}

} // namespace StringTable
