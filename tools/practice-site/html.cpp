#include "html.h"

#include <cstdio>

std::string Html::escape(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + 16);
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Html::begin(const std::string& title, Language language, const char* charset,
                        bool withScript, const std::string& assetBase)
{
    std::string h = "<!DOCTYPE html>\n<html lang=\"";
    h += language == Language::German ? "de" : "en";
    h += "\"><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=";
    h += charset;
    h += "\"><title>" + escape(title) + "</title>";
    if (withScript)
        h += "<script src=\"" + assetBase + "/js/viewitem.js\"></script>";
    h += "<link rel=\"stylesheet\" href=\"" + assetBase + "/css/site.css\"></head>\n<body>\n";
    h +=
        "<div class=\"header\"><a href=\"/\"><img src=\"" + assetBase +
        "/images/logo.gif\" alt=\"\" width=\"16\" height=\"16\"></a> Gavelin practice site</div>\n";
    return h;
}

std::string Html::end(Language language)
{
    return std::string("<div class=\"footer\">") +
           pick(language, "A practice site on your own computer. Nothing here is for sale.",
                "Eine \xC3\x9C"
                "bungsseite auf Ihrem eigenen Rechner. Hier wird nichts verkauft.") +
           "</div>\n</body></html>\n";
}

std::string Html::line(const std::string& text)
{
    return "<div>" + escape(text) + "</div>\n";
}

std::string Html::heading(const std::string& text)
{
    return "<h2>" + escape(text) + "</h2>\n";
}

std::string Html::row(const std::string& label, const std::string& valueHtml)
{
    return "<tr><td>" + escape(label) + "</td><td>" + valueHtml + "</td></tr>\n";
}

std::string Html::hidden(const std::string& name, const std::string& value)
{
    return "<input type=\"hidden\" name=\"" + escape(name) + "\" value=\"" + escape(value) + "\">";
}

std::string Html::link(const std::string& href, const std::string& text)
{
    return "<a href=\"" + escape(href) + "\">" + escape(text) + "</a>";
}

std::string Html::formBegin(const std::string& name, const std::string& action)
{
    return "<form name=\"" + escape(name) + "\" method=\"post\" action=\"" + escape(action) +
           "\">\n";
}

std::string Html::urlEncode(const std::string& text)
{
    std::string out;
    for (const unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        }
    }
    return out;
}
