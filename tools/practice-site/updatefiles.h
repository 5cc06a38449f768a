#pragma once

#include <string>
#include <utility>
#include <vector>

// The settings file and the sites file a sniper downloads to update its site profiles, and
// the profile values that point a sniper at this site, all for one base address
// ("http://127.0.0.1:PORT").
class UpdateFiles
{
public:
    using Replacements = std::vector<std::pair<std::string, std::string>>;

    static std::string settingsFile(const std::string& base, unsigned programVersion,
                                    unsigned settingsVersion,
                                    const std::string& patchName = "gavelin-update.bin");
    // `replacements` are applied to the keyword values, so that a changed page wording can
    // be followed by a settings update.
    static std::string sitesFile(const std::string& base, const Replacements& replacements);

    // Section "Sites" values as key=value lines: the site list and every URL and search value.
    static std::vector<std::string> profileLines(const std::string& base);
    // The same as an INI file of the settings store, with a [URL] section for the update.
    static std::string profileIni(const std::string& base);
};
