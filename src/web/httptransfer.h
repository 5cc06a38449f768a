#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <atomic>

struct AppSettings;

class CookieJar;

// One HTTP exchange over libcurl with the program's header block, proxy, time-outs and
// size limit. Safe to use from any thread; each transfer has a handle of its own.
class HttpTransfer
{
public:
    struct Request
    {
        QUrl url;
        QByteArray method = "GET";
        QByteArray body;
        QByteArray contentType;
        QByteArray referer;
        bool followRedirects = true;
        // "host:port"; empty for a direct connection (the environment's proxy is ignored).
        QString proxy;
        QString user;
        QString password;
        QString proxyUser;
        QString proxyPassword;
        const CookieJar* cookies = nullptr;
        // A larger answer is refused; 0 for DownloadOptions::maxBytes().
        qint64 maxBytes = 0;
        // Set from another thread to end the transfer at once.
        const std::atomic<bool>* abort = nullptr;
    };

    struct Response
    {
        // libcurl's result; 0 when an HTTP answer arrived (of any status).
        int error = 0;
        // libcurl's words, with the system's where a connection failed ("Connection
        // refused").
        QString errorText;
        int status = 0;
        QByteArray statusText;
        QByteArray contentType;
        QUrl finalUrl;
        QByteArray body;

        bool transportFailed() const { return error != 0; }
    };

    static Response perform(const Request& request);

    // The proxy of `settings` ("address:port"), empty when none is used.
    static QString proxyOf(const AppSettings& settings);
    // The same from the settings published to workers; safe on any thread.
    static QString settingsProxy();
    static void initialiseLibrary();

    // Result codes of refusals made here rather than by libcurl.
    static constexpr int kTooLarge = 63;
    static constexpr int kAborted = 42;
};
