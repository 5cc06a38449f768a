#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class CBidsDoc;
class SiteClock;

// The reply of the "status" control command: the list with each bid's state and the
// engine's clock and connection. The bids are copied under the items lock (waited for no
// longer than a periodic pass of the main thread waits) and turned into JSON after it is
// released, so a bid thread never waits for the formatting.
class ControlStatus
{
public:
    // What the engine knows beside the list.
    struct Engine
    {
        // Local time and offset (local minus site, ms) of the last accepted measurement;
        // measuredAt 0 when none was accepted yet.
        qint64 measuredAt = 0;
        qint64 measuredOffsetMs = 0;
        // "online", "offline" (no connection found), "work offline" (the user's switch) or
        // "unknown" (not tested yet).
        QString connection = QStringLiteral("unknown");
        bool dialling = false;
    };

    // The reply's members as compact JSON text (see ControlRegistry::EncodedHandler); set
    // `error` when the list stayed locked. Written as text: a list of 10,000 bids through
    // QJsonObject would take longer than the whole command may.
    static QByteArray encode(CBidsDoc& doc, const SiteClock& clock, const Engine& engine,
                             QString* error);
};
