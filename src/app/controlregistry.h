#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>

// The control commands a running copy answers, by name. Both programs register theirs
// at start-up; the control server looks each request up here.
//
//   registry.add("mail-check", [&](const QJsonObject& request) {
//       ...
//       return QJsonObject{{"started", true}};   // or ControlProtocol::errorReply(text)
//   });
//
// A handler gets the whole request object and returns the reply object; the server adds
// "v" and, unless the handler set it, "ok": true. A handler whose answer comes later (a
// download, the end of the program) is added with addDeferred() and calls `reply` once.
// Main thread only; handlers run on it, one request at a time.
class ControlRegistry
{
public:
    using Handler = std::function<QJsonObject(const QJsonObject& request)>;
    using Reply = std::function<void(const QJsonObject& reply)>;
    using DeferredHandler = std::function<void(const QJsonObject& request, Reply reply)>;
    // For replies too large to go through QJsonObject in time (the status of a list of
    // thousands): returns the reply's members as compact JSON text without the braces,
    // e.g. `"count":2,"bids":[...]`, or sets `error` to refuse.
    using EncodedHandler = std::function<QByteArray(const QJsonObject& request, QString* error)>;
    using EncodedReply = std::function<void(const QByteArray& members)>;

    // Replaces a handler of the same name.
    void add(const QString& command, Handler handler);
    void addDeferred(const QString& command, DeferredHandler handler);
    void addEncoded(const QString& command, EncodedHandler handler);
    bool contains(const QString& command) const;
    QStringList commands() const;

    // Runs the request's handler; an unknown command is answered with an error at once.
    // Encoded handlers answer through `encoded`, all others through `reply`.
    void dispatch(const QJsonObject& request, const Reply& reply,
                  const EncodedReply& encoded) const;

private:
    using Entry =
        std::function<void(const QJsonObject& request, Reply reply, const EncodedReply& encoded)>;
    std::map<QString, Entry> m_handlers;
};
