#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QProcess;
class Registry;

// The built practice auction site as a child process on a free loopback port, for engine
// and end-to-end tests. The constructor starts it and waits for the port it prints; the
// destructor shuts it down. Control requests go over a plain blocking socket, so no event
// loop is needed.
class PracticeSiteProcess
{
public:
    struct Reply
    {
        int status = 0; // 0 when no HTTP answer came
        QByteArray body;
        bool ok() const { return status >= 200 && status < 300; }
    };

    // Extra arguments such as {"--language", "de"} or {"--script", path}.
    explicit PracticeSiteProcess(const QStringList& arguments = {});
    ~PracticeSiteProcess();

    PracticeSiteProcess(const PracticeSiteProcess&) = delete;
    PracticeSiteProcess& operator=(const PracticeSiteProcess&) = delete;

    bool isRunning() const;
    QString errorString() const { return m_error; }
    int port() const { return m_port; }
    // "http://127.0.0.1:PORT", without a trailing slash.
    QString baseUrl() const;

    // A request to the control interface: `path` below /_control, such as "/auctions" or
    // "/clock"; `json` is the request body.
    Reply control(const QByteArray& method, const QString& path, const QByteArray& json = {},
                  int timeoutMs = 10000) const;
    // A GET of one of the site's pages, such as "/aw-cgi/eBayISAPI.dll?TimeShow".
    Reply get(const QString& target, int timeoutMs = 10000) const;
    // The site-profile values (key=value) that point Gavelin at this site.
    QStringList profileLines() const;
    // Writes those values into the "Sites" section of `machine`.
    void writeProfile(Registry& machine) const;

    static QString binaryPath();

private:
    Reply request(const QByteArray& method, const QByteArray& target, const QByteArray& body,
                  int timeoutMs) const;
    void stop();

    std::unique_ptr<QProcess> m_process;
    int m_port = 0;
    QString m_error;
};
