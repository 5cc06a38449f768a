#include "updatefiles.h"

#include "profiletable.h"

#include <cstdio>

namespace {

const Language kLanguages[] = {Language::English, Language::German};

std::string hex(unsigned value)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", value);
    return buf;
}

std::string iniQuote(const std::string& value)
{
    std::string out = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

} // namespace

std::string UpdateFiles::settingsFile(const std::string& base, unsigned programVersion,
                                      unsigned settingsVersion, const std::string& patchName)
{
    // LF line ends only: a CR would become part of the section markers.
    return "Gavelin practice site settings\n"
           "[START]\n"
           "VENDRA_VERSION=" +
           hex(programVersion) + "\nSETTINGS_VERSION=" + hex(settingsVersion) +
           "\nURL_SETTINGS=" + base + "/update/settings.txt\nURL_PATCH_WS=" + base + "/update/" +
           patchName + "\nURL_PATCH_NS=" + base +
           "/update/gavelin-update-ns.bin\nCOMMENT=the sites of the practice site\nURL_SITES=" +
           base + "/update/sites.txt\n[SETTINGS]\nURLBeginGuid " + base +
           "/help/guide.html\n[END]\n";
}

std::string UpdateFiles::sitesFile(const std::string& base, const Replacements& replacements)
{
    std::string out = "[SITES]\n";
    for (const Language lang : kLanguages)
        out += std::string(ProfileTable::siteName(lang)) + "\n";
    out += "[END]\n[COMMANDS]\n";
    for (const auto& c : ProfileTable::commands())
        out += c.first + "=" + c.second + "\n";
    out += "[END]\n";
    for (const Language lang : kLanguages) {
        const std::string site = ProfileTable::siteName(lang);
        out += "[SITE_" + site + "]\n";
        for (auto entry : ProfileTable::keywords(lang)) {
            for (const auto& r : replacements) {
                if (r.first.empty())
                    continue;
                for (size_t p = entry.second.find(r.first); p != std::string::npos;
                     p = entry.second.find(r.first, p + r.second.size()))
                    entry.second.replace(p, r.first.size(), r.second);
            }
            out += site + "_" + entry.first + " " + entry.second + "\n";
        }
        for (const auto& entry : ProfileTable::urls(lang, base))
            out += site + "_" + entry.first + " " + entry.second + "\n";
        out += "[END]\n";
    }
    return out;
}

std::vector<std::string> UpdateFiles::profileLines(const std::string& base)
{
    std::vector<std::string> lines = {"sitesCount=2"};
    int index = 1;
    for (const Language lang : kLanguages)
        lines.push_back("siteName" + std::to_string(index++) + "=" + ProfileTable::siteName(lang));
    for (const Language lang : kLanguages) {
        const std::string site = ProfileTable::siteName(lang);
        for (const auto& entry : ProfileTable::urls(lang, base))
            lines.push_back(site + "_" + entry.first + "=" + entry.second);
    }
    return lines;
}

std::string UpdateFiles::profileIni(const std::string& base)
{
    std::string out = "[Sites]\n";
    for (const std::string& line : profileLines(base)) {
        const size_t eq = line.find('=');
        out += line.substr(0, eq + 1) + iniQuote(line.substr(eq + 1)) + "\n";
    }
    out += "\n[URL]\nURLSettings=" + iniQuote(base + "/update/settings.txt") + "\n";
    return out;
}
