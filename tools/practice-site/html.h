#pragma once

#include "sitestyle.h"

#include <string>

// Small builders for the site's markup. Pages are laid out for a text renderer that gives
// one line per block element or table row, with the cells of a row joined by a tab: a label
// cell and its value cell read as one line.
class Html
{
public:
    static std::string escape(const std::string& text);
    static const char* pick(Language language, const char* english, const char* german)
    {
        return language == Language::German ? german : english;
    }

    // Doctype, head with charset, title and optional page script, and the site header.
    // `assetBase` prefixes the addresses of the script, style sheet and logo.
    static std::string begin(const std::string& title, Language language,
                             const char* charset = "utf-8", bool withScript = false,
                             const std::string& assetBase = {});
    static std::string end(Language language);

    static std::string line(const std::string& text);
    static std::string heading(const std::string& text);
    // One table row of a label cell and a value cell (value is markup).
    static std::string row(const std::string& label, const std::string& valueHtml);
    static std::string hidden(const std::string& name, const std::string& value);
    static std::string link(const std::string& href, const std::string& text);
    static std::string formBegin(const std::string& name, const std::string& action);

    // Percent-encodes a query value.
    static std::string urlEncode(const std::string& text);
};
