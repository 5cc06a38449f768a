#pragma once

#include <QString>

// The one HTTP download of the program: a GET of a plain HTTP address with the user's
// proxy. Gives the page (decoded from its charset) or, with `asText`, its rendered body
// text with lines joined by "\r\n". Empty on any failure, which is logged.
QString getUrlSource(const QString& url, bool asText = false);

// Whether the program is in its offline mode.
bool IsOffline();
