#include "main/controlcommand.h"

#include "app/apppaths.h"
#include "app/controlclient.h"
#include "app/controlprotocol.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <optional>

namespace {

constexpr int kStatusUsage = 2;
constexpr int kStatusRefused = 1;
constexpr int kStatusNotRunning = 3;
// An add reads a page and may wait behind another command: be patient.
constexpr int kReplyTimeoutMs = 180000;
constexpr int kFollowPollMs = 250;

int usage(const char* text)
{
    QTextStream(stderr) << "gavelind: usage: gavelind " << text << '\n';
    return kStatusUsage;
}

// Sends one request to the running copy. On success `reply` holds the answer and 0 is
// returned; otherwise the reason is printed and the exit status returned.
int call(ControlClient& client, const QJsonObject& request, QJsonObject* reply,
         bool lineOnly = false)
{
    QTextStream err(stderr);
    switch (client.call(request, kReplyTimeoutMs, lineOnly)) {
    case ControlClient::Result::NotRunning:
        err << "gavelind: no running copy of Gavelin for "
            << QDir::toNativeSeparators(AppPaths::fromEnvironment().configDir())
            << "; nothing was changed\n";
        return kStatusNotRunning;
    case ControlClient::Result::Failed:
        err << "gavelind: " << client.error() << '\n';
        return kStatusRefused;
    case ControlClient::Result::Answered:
        break;
    }
    *reply = client.reply();
    if (!reply->value(QStringLiteral("ok")).toBool()) {
        err << "gavelind: " << reply->value(QStringLiteral("error")).toString() << '\n';
        if (reply->value(QStringLiteral("question")).toBool())
            err << "(add --yes to go on anyway)\n";
        return kStatusRefused;
    }
    return 0;
}

int call(const QJsonObject& request, QJsonObject* reply)
{
    ControlClient client(ControlProtocol::socketPath(AppPaths::fromEnvironment().configDir()));
    return call(client, request, reply);
}

int printMessage(const QJsonObject& request)
{
    QJsonObject reply;
    if (const int status = call(request, &reply))
        return status;
    QTextStream(stdout) << reply.value(QStringLiteral("message")).toString() << '\n';
    return 0;
}

QString money(const QJsonValue& value)
{
    return QString::number(value.toDouble(), 'f', 2);
}

QString localTimeText(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void printStatus(const QJsonObject& reply)
{
    QTextStream out(stdout);
    const qint64 offsetMs = reply.value(QStringLiteral("offsetMs")).toInteger();
    out << reply.value(QStringLiteral("siteTimeText")).toString();
    if (reply.value(QStringLiteral("synchronised")).toBool())
        out << " (local minus site " << QString::number(offsetMs / 1000.0, 'f', 3) << " s)\n";
    else
        out << " (not synchronised: local time)\n";
    const QJsonValue measurement = reply.value(QStringLiteral("lastMeasurement"));
    out << "Last accepted measurement: "
        << (measurement.isObject()
                ? localTimeText(measurement[QStringLiteral("localTime")].toInteger()) + " local"
                : QStringLiteral("none yet"))
        << '\n';
    out << "Connection: " << reply.value(QStringLiteral("connection")).toString()
        << (reply.value(QStringLiteral("dialling")).toBool() ? " (dialling)" : "") << '\n';
    const QJsonObject list = reply.value(QStringLiteral("list")).toObject();
    const QString path = list.value(QStringLiteral("path")).toString();
    out << "List: "
        << (path.isEmpty() ? list.value(QStringLiteral("title")).toString()
                           : QDir::toNativeSeparators(path))
        << (list.value(QStringLiteral("modified")).toBool() ? " (modified)" : "") << "\n\n";

    const QJsonArray bids = reply.value(QStringLiteral("bids")).toArray();
    if (bids.isEmpty()) {
        out << "No bids.\n";
        return;
    }
    out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
               .arg(QStringLiteral("ID"), -12)
               .arg(QStringLiteral("STATUS"), -20)
               .arg(QStringLiteral("MAX"), 10)
               .arg(QStringLiteral("PRICE"), 10)
               .arg(QStringLiteral("BIDDER"), -16)
               .arg(QStringLiteral("TIME LEFT"), -20)
               .arg(QStringLiteral("TITLE"));
    for (const QJsonValue& value : bids) {
        const QJsonObject bid = value.toObject();
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                   .arg(bid.value(QStringLiteral("id")).toString(), -12)
                   .arg(bid.value(QStringLiteral("statusText")).toString(), -20)
                   .arg(money(bid.value(QStringLiteral("maxPrice"))), 10)
                   .arg(money(bid.value(QStringLiteral("currentPrice"))), 10)
                   .arg(bid.value(QStringLiteral("highBidder")).toString(), -16)
                   .arg(bid.value(QStringLiteral("timeLeft")).toString(), -20)
                   .arg(bid.value(QStringLiteral("title")).toString());
    }
}

// Prints what the log holds from `offset` on, without the "\r" of its line ends; returns
// the new offset. A log that became shorter was started anew: it is read from its start.
qint64 printLogFrom(const QString& path, qint64 offset)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return offset;
    if (file.size() < offset)
        offset = 0;
    file.seek(offset);
    QByteArray data = file.readAll();
    offset += data.size();
    data.replace("\r\n", "\n");
    QFile out;
    if (out.open(stdout, QIODevice::WriteOnly)) {
        out.write(data);
        out.flush();
    }
    return offset;
}

} // namespace

int runAddCommand(const QStringList& arguments)
{
    const char* text = "add ITEM MAXPRICE [--folder NAME] [--quantity N] [--inactive] [--yes]";
    QJsonObject request = ControlProtocol::request(QStringLiteral("add"));
    QStringList positional;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& word = arguments.at(i);
        if (word == QLatin1String("--folder") && i + 1 < arguments.size()) {
            request.insert(QStringLiteral("folder"), arguments.at(++i));
        } else if (word == QLatin1String("--quantity") && i + 1 < arguments.size()) {
            bool ok = false;
            const int quantity = arguments.at(++i).toInt(&ok);
            if (!ok || quantity <= 0)
                return usage(text);
            request.insert(QStringLiteral("quantity"), quantity);
        } else if (word == QLatin1String("--inactive")) {
            request.insert(QStringLiteral("inactive"), true);
        } else if (word == QLatin1String("--yes")) {
            request.insert(QStringLiteral("yes"), true);
        } else if (word.startsWith(QLatin1String("--"))) {
            return usage(text);
        } else {
            positional << word;
        }
    }
    if (positional.size() != 2)
        return usage(text);
    request.insert(QStringLiteral("item"), positional.at(0));
    request.insert(QStringLiteral("maxPrice"), positional.at(1));
    QJsonObject reply;
    if (const int status = call(request, &reply))
        return status;
    QTextStream out(stdout);
    for (const QJsonValue& note : reply.value(QStringLiteral("notes")).toArray())
        out << "note: " << note.toString() << '\n';
    out << "Bid #" << reply.value(QStringLiteral("id")).toString() << " added to \""
        << reply.value(QStringLiteral("folder")).toString()
        << "\": " << reply.value(QStringLiteral("title")).toString() << " ("
        << reply.value(QStringLiteral("statusText")).toString() << ", maximum "
        << money(reply.value(QStringLiteral("maxPrice"))) << ")\n";
    return 0;
}

int runStatusCommand(const QStringList& arguments)
{
    const bool json = arguments == QStringList{QStringLiteral("--json")};
    if (!arguments.isEmpty() && !json)
        return usage("status [--json]");
    ControlClient client(ControlProtocol::socketPath(AppPaths::fromEnvironment().configDir()));
    QJsonObject reply;
    if (const int status =
            call(client, ControlProtocol::request(QStringLiteral("status")), &reply, json))
        return status;
    if (json) {
        // The reply as it came (one line; pipe it through jq to read it), without the
        // protocol's own members.
        QByteArray line = client.replyLine();
        const QByteArray prefix =
            "{\"ok\":true,\"v\":" + QByteArray::number(ControlProtocol::kVersion) + ',';
        if (line.startsWith(prefix))
            line.replace(0, prefix.size(), "{");
        QFile out;
        if (out.open(stdout, QIODevice::WriteOnly))
            out.write(line);
        return 0;
    }
    printStatus(reply);
    return 0;
}

int runStartCommand(const QStringList& arguments)
{
    if (arguments.size() != 1 || arguments.first().startsWith(QLatin1Char('-')))
        return usage("start ITEM");
    QJsonObject request = ControlProtocol::request(QStringLiteral("start"));
    request.insert(QStringLiteral("item"), arguments.first());
    return printMessage(request);
}

int runStopCommand(const QStringList& arguments)
{
    QStringList rest = arguments;
    const bool retract = rest.removeAll(QStringLiteral("--retract")) > 0;
    if (rest.size() != 1 || rest.first().startsWith(QLatin1Char('-')))
        return usage("stop ITEM [--retract]");
    QJsonObject request = ControlProtocol::request(QStringLiteral("stop"));
    request.insert(QStringLiteral("item"), rest.first());
    request.insert(QStringLiteral("retract"), retract);
    return printMessage(request);
}

int runSyncCommand(const QStringList& arguments)
{
    if (!arguments.isEmpty())
        return usage("sync");
    QJsonObject reply;
    if (const int status = call(ControlProtocol::request(QStringLiteral("sync")), &reply))
        return status;
    QTextStream(stdout) << "Time synchronised: "
                        << reply.value(QStringLiteral("siteTimeText")).toString()
                        << " (local minus site "
                        << QString::number(
                               reply.value(QStringLiteral("offsetMs")).toInteger() / 1000.0, 'f', 3)
                        << " s)\n";
    return 0;
}

int runLogCommand(const QStringList& arguments)
{
    const bool follow = arguments == QStringList{QStringLiteral("-f")} ||
                        arguments == QStringList{QStringLiteral("--follow")};
    if (!arguments.isEmpty() && !follow)
        return usage("log [-f]");
    ControlClient client(ControlProtocol::socketPath(AppPaths::fromEnvironment().configDir()));
    QJsonObject reply;
    if (const int status = call(client, ControlProtocol::request(QStringLiteral("log")), &reply))
        return status;
    const QString path = reply.value(QStringLiteral("path")).toString();
    if (path.isEmpty()) {
        QTextStream(stderr) << "gavelind: the running copy keeps no log\n";
        return kStatusRefused;
    }
    qint64 offset = printLogFrom(path, 0);
    if (!follow)
        return 0;
    // The connection stays open while the copy runs: its end ends the following too.
    while (!client.waitForClosed(kFollowPollMs))
        offset = printLogFrom(path, offset);
    printLogFrom(path, offset);
    return 0;
}
