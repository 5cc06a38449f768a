#pragma once

#include <QString>
#include <QtGlobal>

// What one download gave: the page, or why there is none.
struct UrlSourceResult
{
    QString text;
    // Why no page came, in words for the user ("... (Connection refused)", "HTTP status
    // 404 Not Found", ...); empty when the page arrived, though its text may be empty.
    QString failure;

    bool failed() const { return !failure.isEmpty(); }
};

// The one HTTP download of the program: a GET of a plain HTTP address with the user's
// proxy. Gives the page (decoded from its charset) or, with `asText`, its rendered body
// text with lines joined by "\r\n". Empty on any failure, which is logged.
QString getUrlSource(const QString& url, bool asText = false);
// The same with the reason of a failure. Pages read as text are limited to
// DownloadOptions::maxPageBytes().
UrlSourceResult fetchUrlSource(const QString& url, bool asText);

// Whether the program is in its offline mode.
bool IsOffline();
