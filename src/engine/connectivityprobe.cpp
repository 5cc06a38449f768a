#include "engine/connectivityprobe.h"

#include <QFile>
#include <QNetworkInterface>

namespace {

constexpr unsigned kRouteUp = 0x1;

bool isPointToPoint(const QString& interface)
{
    return interface.startsWith(QLatin1String("ppp"));
}

} // namespace

ConnectivityProbe::ConnectivityProbe(QString ipv4Routes, QString ipv6Routes, bool useInterfaces)
    : m_ipv4Routes(std::move(ipv4Routes)), m_ipv6Routes(std::move(ipv6Routes)),
      m_useInterfaces(useInterfaces)
{
}

QByteArray ConnectivityProbe::readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    // /proc files report no size; read to the end, with a bound.
    return file.read(1 << 20);
}

QString ConnectivityProbe::defaultRouteInterface(const QByteArray& table)
{
    // "Iface Destination Gateway Flags ..." with hexadecimal fields.
    const QList<QByteArray> lines = table.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].simplified().split(' ');
        if (fields.size() < 8)
            continue;
        bool ok = false;
        const unsigned flags = fields[3].toUInt(&ok, 16);
        if (ok && fields[1] == "00000000" && fields[7] == "00000000" && (flags & kRouteUp))
            return QString::fromLatin1(fields[0]);
    }
    return QString();
}

QString ConnectivityProbe::defaultRouteInterface6(const QByteArray& table)
{
    // "dest plen src splen nexthop metric refcnt use flags iface"
    const QByteArray anyAddress(32, '0');
    for (const QByteArray& line : table.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 10 || fields[0] != anyAddress || fields[1] != "00")
            continue;
        bool ok = false;
        const unsigned flags = fields[8].toUInt(&ok, 16);
        if (ok && (flags & kRouteUp) && fields[9] != "lo")
            return QString::fromLatin1(fields[9]);
    }
    return QString();
}

QString ConnectivityProbe::runningInterface()
{
    const auto wanted = QNetworkInterface::IsUp | QNetworkInterface::IsRunning;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        if ((interface.flags() & wanted) == wanted &&
            !(interface.flags() & QNetworkInterface::IsLoopBack))
            return interface.name();
    }
    return QString();
}

IConnectivityProbe::State ConnectivityProbe::query()
{
    State state;
    QString interface = defaultRouteInterface(readAll(m_ipv4Routes));
    if (interface.isEmpty())
        interface = defaultRouteInterface6(readAll(m_ipv6Routes));
    if (interface.isEmpty() && m_useInterfaces)
        interface = runningInterface();
    if (interface.isEmpty()) {
        state.errorText = QStringLiteral("No default route and no network interface is up.");
        return state;
    }
    state.succeeded = true;
    state.flags = isPointToPoint(interface) ? Modem : Lan;
    return state;
}
