#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringView>

// The control protocol between a running copy and its callers (a second start, the
// `gavelind` control commands): one JSON object per line each way, over the per-user
// local socket. A request names its command and the protocol version:
//   {"v":1,"command":"status"}
// and is answered by one line, {"v":1,"ok":true,...} or {"v":1,"ok":false,"error":TEXT}.
class ControlProtocol
{
public:
    static constexpr int kVersion = 1;
    // The longest line either side accepts, line end included.
    static constexpr int kMaxLineBytes = 64 * 1024;

    // {"v":1,"command":NAME}
    static QJsonObject request(const QString& command);
    static QJsonObject errorReply(const QString& text);
    // One compact line with its "\n".
    static QByteArray encode(const QJsonObject& message);
    // A line as received (its "\n" may be there); on failure `error` says why and the
    // object is empty.
    static QJsonObject decode(const QByteArray& line, QString* error);
    static QString command(const QJsonObject& request);
    // Appends `text` as a JSON string (quoted, escaped), for handlers that write their
    // reply as text.
    static void appendString(QByteArray& out, QStringView text);

    // The socket of the copy that runs with the settings folder `configDir`, in the
    // user's runtime folder; empty when no private runtime folder can be had.
    static QString socketPath(const QString& configDir);
    // $XDG_RUNTIME_DIR when it is a folder of this user's that nobody else may enter,
    // else /tmp/gavelin-UID, made (0700) and checked the same way; empty when neither is.
    static QString runtimeFolder();
};
