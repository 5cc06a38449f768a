#include "app/controlprotocol.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonDocument>
#include <QJsonParseError>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder that only this user can enter: a socket inside cannot be reached, replaced or
// watched by anybody else.
bool isPrivateFolder(const QByteArray& path)
{
    struct stat info = {};
    return lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == getuid() && (info.st_mode & 077) == 0;
}

} // namespace

QJsonObject ControlProtocol::request(const QString& command)
{
    return QJsonObject{{QStringLiteral("v"), kVersion}, {QStringLiteral("command"), command}};
}

QJsonObject ControlProtocol::errorReply(const QString& text)
{
    return QJsonObject{{QStringLiteral("ok"), false}, {QStringLiteral("error"), text}};
}

QByteArray ControlProtocol::encode(const QJsonObject& message)
{
    return QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n';
}

QJsonObject ControlProtocol::decode(const QByteArray& line, QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        if (error) {
            *error = parseError.error != QJsonParseError::NoError
                         ? QStringLiteral("malformed request: %1 at byte %2")
                               .arg(parseError.errorString())
                               .arg(parseError.offset)
                         : QStringLiteral("malformed request: not a JSON object");
        }
        return {};
    }
    return document.object();
}

QString ControlProtocol::command(const QJsonObject& request)
{
    return request.value(QStringLiteral("command")).toString();
}

void ControlProtocol::appendString(QByteArray& out, QStringView text)
{
    static const char hex[] = "0123456789abcdef";
    out.append('"');
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.append('\\').append(c);
        } else if (byte < 0x20) {
            out.append("\\u00").append(hex[byte >> 4]).append(hex[byte & 0xf]);
        } else {
            out.append(c);
        }
    }
    out.append('"');
}

QString ControlProtocol::socketPath(const QString& configDir)
{
    const QString folder = runtimeFolder();
    if (folder.isEmpty())
        return QString();
    const QByteArray hash =
        QCryptographicHash::hash(QDir(configDir).absolutePath().toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .left(12);
    return folder + QStringLiteral("/gavelin-%1.sock").arg(QString::fromLatin1(hash));
}

QString ControlProtocol::runtimeFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && isPrivateFolder(runtime))
        return QString::fromLocal8Bit(runtime);
    const QByteArray fallback = "/tmp/gavelin-" + QByteArray::number(getuid());
    // Made private from the start; an existing one must already be ours and private, as
    // anybody may have made it first.
    if (mkdir(fallback.constData(), 0700) != 0 && errno != EEXIST)
        return QString();
    return isPrivateFolder(fallback) ? QString::fromLocal8Bit(fallback) : QString();
}
