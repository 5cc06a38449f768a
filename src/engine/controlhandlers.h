#pragma once

#include <QJsonObject>
#include <QObject>
#include <memory>

class AppContext;
class ControlAdd;
class ControlRegistry;
class MainController;

// The engine's control commands, for the copy that runs (gavelind or the desktop
// program): add, status, start, stop, sync and log. Each changing command passes the
// same gates as the window's (the access password, the site account) but asks no
// question: the caller's words are the answer. Main thread only.
class ControlHandlers : public QObject
{
    Q_OBJECT
public:
    ControlHandlers(AppContext& app, MainController& controller, QObject* parent = nullptr);
    ~ControlHandlers() override;

    void install(ControlRegistry& registry);

    // The status reply's members as JSON text (see ControlStatus).
    QByteArray status(QString* error);
    QJsonObject start(const QJsonObject& request);
    QJsonObject stop(const QJsonObject& request);
    QJsonObject sync();
    QJsonObject log() const;

private:
    // Empty when the bid exists; else the text that refuses the command. `status` gets
    // its status.
    QString findBid(const QString& id, quint32* status, bool* hasMaxPrice);

    AppContext& m_app;
    MainController& m_controller;
    std::unique_ptr<ControlAdd> m_add;
    qint64 m_measuredAt = 0;
    qint64 m_measuredOffsetMs = 0;
    int m_acceptedCount = 0;
};
