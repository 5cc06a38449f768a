#pragma once

#include <QString>

// What page downloads ask of the connection handling before they go out. The engine's
// connection manager installs itself; without one the network counts as present.
class IInternetAccess
{
public:
    virtual ~IInternetAccess() = default;

    // True when connected now; may start dialling in the background and still say no.
    virtual bool ensureConnection() = 0;
    // The program's own offline switch.
    virtual bool isOffline() = 0;
    // Asks to leave offline mode for `url`; false when the program must stay offline.
    virtual bool goOnline(const QString& url) = 0;

    static IInternetAccess* current();
    // Installs `access` (null removes it); returns the one it replaced.
    static IInternetAccess* setCurrent(IInternetAccess* access);
};
