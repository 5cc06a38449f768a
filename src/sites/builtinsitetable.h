#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

enum class SiteLanguage
{
    English,
    German
};

// The two built-in site profiles (English and German texts) that fill every per-site
// value the registry lacks, and the defaults of the form command names.
class BuiltInSiteTable
{
public:
    // The default end-time pattern; applied at each use, it is no key of the tables.
    static constexpr const char* kDefaultTimePattern = "([\\d\\.]+\\s[\\d\\:]+)";

    // English for the US, United Kingdom and Australian sites, German for any other name.
    static SiteLanguage languageOf(const QString& siteName);

    // Every profile key, in the order the site settings are read.
    static const QStringList& keys();
    // The built-in text of `key` in `language`; empty for a key the tables do not hold.
    static QString defaultValue(const QString& key, SiteLanguage language);

    // The form command names with their defaults, in their stored order.
    static const std::vector<std::pair<QString, QString>>& commandDefaults();
};
