#pragma once

#include "engine/iconnectivityprobe.h"

#include <QByteArray>
#include <QString>

// Connected means a default route (IPv4 or IPv6), through a ppp link (modem) or another
// interface (LAN); failing that, any interface other than loopback that is up and running.
class ConnectivityProbe : public IConnectivityProbe
{
public:
    explicit ConnectivityProbe(QString ipv4Routes = QStringLiteral("/proc/net/route"),
                               QString ipv6Routes = QStringLiteral("/proc/net/ipv6_route"),
                               bool useInterfaces = true);

    State query() override;

    // The interface of the default route in a /proc/net/route table; empty when none.
    static QString defaultRouteInterface(const QByteArray& table);
    // The same for a /proc/net/ipv6_route table.
    static QString defaultRouteInterface6(const QByteArray& table);

private:
    static QByteArray readAll(const QString& path);
    static QString runningInterface();

    QString m_ipv4Routes;
    QString m_ipv6Routes;
    bool m_useInterfaces;
};
