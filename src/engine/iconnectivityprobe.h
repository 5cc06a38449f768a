#pragma once

#include <QString>

// Tells whether the computer has a way to the Internet. The real probe reads the routing
// table and the network interfaces; tests report whatever they need.
class IConnectivityProbe
{
public:
    // Connection flags, as the connection test logs them.
    enum Flag : unsigned
    {
        Modem = 0x01,
        Lan = 0x02,
        Proxy = 0x04,
        ModemBusy = 0x08,
        Offline = 0x20,
        Configured = 0x40,
    };

    struct State
    {
        bool succeeded = false;
        unsigned flags = 0;
        // Why there is no connection, for the log.
        QString errorText;
    };

    virtual ~IConnectivityProbe() = default;
    virtual State query() = 0;
};
