#pragma once

#include <QString>
#include <QStringList>

// Host names of the ten national sites and of the page roles the built-in URLs use.
// Site names are the hosts of the sites' home pages. Every URL built from these hosts is
// only a default: the registry values override it (tests point them at 127.0.0.1).
class SiteHosts
{
public:
    // The site numbers shown by the flag icons; 0 is "unknown site".
    enum Site
    {
        Unknown = 0,
        UnitedStates = 1,
        Germany = 2,
        UnitedKingdom = 3,
        Australia = 4,
        Austria = 5,
        Switzerland = 6,
        Italy = 7,
        Canada = 8,
        France = 9,
        Ireland = 10,
    };
    static constexpr int kSiteCount = 10;

    // Hosts of the page roles of one built-in table.
    struct Roles
    {
        const char* home;
        const char* itemPage;
        const char* bidHistory;
        const char* memberContact;
        const char* signIn;
        const char* memberArea;
        const char* time;
        const char* listings;
        const char* searchDomain; // follows the search host prefix, leading dot included
        const char* pages;
        const char* secureRegistration;
    };

    // The site name of `site`; empty for Unknown or a number out of range.
    static QString siteName(int site);
    // The ten site names in site-number order.
    static QStringList siteNames();
    // The site number of `name`, ignoring case; Unknown for any other name.
    static int siteNumber(const QString& name);
    // The site whose domain holds the host of `address` ("cgi.ebay.de" is Germany), tried
    // in the order United States, Australia, Germany, United Kingdom, Austria, Switzerland,
    // Italy, Canada, France, Ireland; Unknown for any other host. Only the host counts, so
    // an address that merely mentions a site in its path or query is not that site's.
    static int siteOfAddress(const QString& address);

    static const Roles& usRoles();
    static const Roles& germanRoles();
};
