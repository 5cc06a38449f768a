#include "sites/sitehosts.h"

#include <QUrl>

namespace {

constexpr const char* kSiteNames[SiteHosts::kSiteCount] = {
    "www.ebay.com",    // United States
    "www.ebay.de",     // Germany
    "www.ebay.co.uk",  // United Kingdom
    "www.ebay.com.au", // Australia
    "www.ebay.at",     // Austria
    "www.ebay.ch",     // Switzerland
    "www.ebay.it",     // Italy
    "www.ebay.ca",     // Canada
    "www.ebay.fr",     // France
    "www.ebay.ie",     // Ireland
};

constexpr SiteHosts::Roles kUsRoles = {
    "www.ebay.com",    "cgi.ebay.com",   "offer.ebay.com", "contact.ebay.com",
    "signin.ebay.com", "my.ebay.com",    "cgi3.ebay.de",   "listings.ebay.com",
    ".ebay.com",       "pages.ebay.com", "scgi.ebay.com",
};

constexpr SiteHosts::Roles kGermanRoles = {
    "www.ebay.de",    "cgi.ebay.de",   "offer.ebay.de", "contact.ebay.de",
    "signin.ebay.de", "my.ebay.de",    "cgi3.ebay.de",  "listings.ebay.de",
    ".ebay.de",       "pages.ebay.de", "scgi.ebay.de",
};

// The order in which an address's host is matched against the sites' domains.
constexpr SiteHosts::Site kHostOrder[SiteHosts::kSiteCount] = {
    SiteHosts::UnitedStates, SiteHosts::Australia,   SiteHosts::Germany, SiteHosts::UnitedKingdom,
    SiteHosts::Austria,      SiteHosts::Switzerland, SiteHosts::Italy,   SiteHosts::Canada,
    SiteHosts::France,       SiteHosts::Ireland,
};

} // namespace

int SiteHosts::siteOfAddress(const QString& address)
{
    const QString host = QUrl(address.trimmed()).host().toLower();
    if (host.isEmpty())
        return Unknown;
    for (const Site site : kHostOrder) {
        // "www.ebay.com" -> "ebay.com": any host of that domain, and nothing longer.
        const QString domain = siteName(site).mid(4);
        if (host == domain || host.endsWith(QLatin1Char('.') + domain))
            return site;
    }
    return Unknown;
}

QString SiteHosts::siteName(int site)
{
    if (site < 1 || site > kSiteCount)
        return QString();
    return QString::fromLatin1(kSiteNames[site - 1]);
}

QStringList SiteHosts::siteNames()
{
    QStringList names;
    for (int i = 1; i <= kSiteCount; ++i)
        names << siteName(i);
    return names;
}

int SiteHosts::siteNumber(const QString& name)
{
    for (int i = 1; i <= kSiteCount; ++i) {
        if (name.compare(QLatin1String(kSiteNames[i - 1]), Qt::CaseInsensitive) == 0)
            return i;
    }
    return Unknown;
}

const SiteHosts::Roles& SiteHosts::usRoles()
{
    return kUsRoles;
}

const SiteHosts::Roles& SiteHosts::germanRoles()
{
    return kGermanRoles;
}
