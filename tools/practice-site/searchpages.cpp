#include "searchpages.h"

#include "auction.h"
#include "categorytree.h"
#include "html.h"
#include "itempage.h"
#include "siterequest.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> words(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(lower(text));
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

long long numberField(const SiteRequest& r, const std::string& name, long long fallback)
{
    const std::string v = r.field(name);
    if (v.empty() || v.size() > 12)
        return fallback;
    try {
        size_t used = 0;
        const long long n = std::stoll(v, &used);
        return used == v.size() ? n : fallback;
    } catch (const std::exception&) {
        return fallback;
    }
}

std::string timeLeftCell(const Auction& a, double now, bool de)
{
    if (!a.listing().hasEndTime)
        return de ? "Unbefristet" : "Good 'Til Cancelled";
    return ItemPage::timeLeft(a.listing().endTime - now, de);
}

} // namespace

std::vector<const Auction*> SearchPages::select(const SiteRequest& r,
                                                const std::vector<Auction*>& auctions, double now)
{
    const std::string site = r.field("site");
    const bool inDescriptions = r.field("host") == "search-desc" || r.field("srchdesc") == "y";
    const std::vector<std::string> wanted = words(r.field("query"));
    const std::vector<std::string> excluded = words(r.field("exclude"));
    const long long option = numberField(r, "kwopt", 1);
    const long long category = numberField(r, "sacat", -1);
    const long long minPrice = numberField(r, "minprice", 0);
    const long long maxPrice = numberField(r, "maxprice", 0);
    const std::string seller = r.field("seller");

    std::vector<const Auction*> found;
    for (const Auction* a : auctions) {
        const Auction::Listing& l = a->listing();
        if (a->ended(now))
            continue;
        if (!site.empty() && site != a->style().languageCode())
            continue;
        const std::string text = lower(l.title + (inDescriptions ? " " + l.description : ""));
        bool match = true;
        if (option == 3) {
            match = text.find(lower(r.field("query"))) != std::string::npos;
        } else if (!wanted.empty()) {
            const auto has = [&](const std::string& w) {
                return text.find(w) != std::string::npos;
            };
            match = option == 2 ? std::any_of(wanted.begin(), wanted.end(), has)
                                : std::all_of(wanted.begin(), wanted.end(), has);
        }
        for (const std::string& w : excluded)
            match = match && text.find(w) == std::string::npos;
        if (category > 0)
            match = match && CategoryTree::within(l.category, static_cast<int>(category));
        if (r.field("bin") == "1")
            match = match && l.kind == Auction::Kind::FixedPrice;
        if (minPrice > 0)
            match = match && a->currentPrice() >= minPrice * 100;
        if (maxPrice > 0)
            match = match && a->currentPrice() <= maxPrice * 100;
        if (!seller.empty())
            match = match && l.seller == seller;
        if (match)
            found.push_back(a);
    }

    const long long sort = numberField(r, "sort", 1);
    const long long order = numberField(r, "order", 1);
    const auto endOf = [](const Auction* a) {
        return a->listing().hasEndTime ? a->listing().endTime : 1e300;
    };
    std::stable_sort(found.begin(), found.end(), [&](const Auction* x, const Auction* y) {
        if (sort == 2)
            return x->listing().startTime > y->listing().startTime;
        if (sort == 3)
            return order == 2 ? x->currentPrice() > y->currentPrice()
                              : x->currentPrice() < y->currentPrice();
        return endOf(x) < endOf(y);
    });
    const long long limit = std::clamp(numberField(r, "num", 50), 1LL, 200LL);
    if (static_cast<long long>(found.size()) > limit)
        found.resize(static_cast<size_t>(limit));
    return found;
}

std::string SearchPages::results(const SiteRequest& r, const std::vector<Auction*>& auctions,
                                 double now, Language fallback)
{
    const std::string site = r.field("site");
    const Language lang =
        site == "de" ? Language::German : (site == "en" ? Language::English : fallback);
    const bool de = lang == Language::German;
    const std::vector<const Auction*> found = select(r, auctions, now);

    std::string h = Html::begin(de ? "Suchergebnisse" : "Search results", lang);
    if (found.empty()) {
        h += Html::line(de ? "Keine Artikel gefunden." : "No items found.");
        return h + Html::end(lang);
    }
    h +=
        Html::line(std::to_string(found.size()) +
                   (de ? " Artikel gefunden f\xC3\xBCr " : " items found for ") + r.field("query"));
    h += "<table class=\"ebItemlist single\">\n<tr><th></th><th>";
    h += de ? "Artikel</th><th>Gebote</th><th>Preis</th><th>Versand</th><th>Restzeit"
            : "Item</th><th>Bids</th><th>Price</th><th>Shipping</th><th>Time left";
    h += "</th></tr>\n";
    // The German results use the older shipping cell class.
    const char* shipClass = de ? "ebcShp" : "ebcShpNew";
    for (const Auction* a : found) {
        const Auction::Listing& l = a->listing();
        const std::string item = std::to_string(l.item);
        const bool fixed = l.kind == Auction::Kind::FixedPrice;
        h += "<tr><td class=\"ebcCpr\"><input type=\"checkbox\" name=\"coitem\" value=\"" + item +
             "\"></td><td class=\"ebcTtl\">" +
             Html::link("/ws/eBayISAPI.dll?ViewItem&item=" + item, l.title) +
             "</td><td class=\"ebcBid\">" + (fixed ? "" : std::to_string(a->bidCount())) +
             "</td><td class=\"ebcPr\"><span>" +
             Html::escape(a->style().formatPrice(a->currentPrice())) + "</span></td><td class=\"" +
             shipClass + "\"><span>" + Html::escape(a->style().formatPrice(l.shippingCents)) +
             "</span></td><td class=\"ebcTim\">" + Html::escape(timeLeftCell(*a, now, de)) +
             "</td></tr>\n";
    }
    h += "</table>\n";
    return h + Html::end(lang);
}

std::string SearchPages::basicSearch(Language lang)
{
    const bool de = lang == Language::German;
    std::string h = Html::begin(de ? "Suche" : "Basic search", lang);
    h += "<form name=\"basicsearch\" method=\"get\" action=\"/search/search.dll\">\n" +
         Html::hidden("host", "search") + "\n<div>" + (de ? "Suchbegriff " : "Keywords ") +
         "<input type=\"text\" name=\"query\" size=\"40\"></div>\n";
    h += "<div><select name=\"sacat\"><option value=\"-1\" selected>";
    h += de ? "Alle Kategorien" : "All Categories";
    h += "</option>";
    for (const CategoryTree::Category& c : CategoryTree::all())
        h += "<option value=\"" + std::to_string(c.id) + "\">" + (c.parent ? "-- " : "") +
             Html::escape(CategoryTree::name(c, lang)) + "</option>";
    h += "</select></div>\n<div><select name=\"loc\">";
    h += std::string("<option value=\"-15\" selected>") +
         (de ? "Alle L\xC3\xA4nder" : "Any country") + "</option><option value=\"1\">" +
         (de ? "USA" : "United States") + "</option><option value=\"77\">" +
         (de ? "Deutschland" : "Germany") + "</option><option value=\"3\">" +
         (de ? "Gro\xC3\x9F"
               "britannien"
             : "United Kingdom") +
         "</option></select></div>\n<div><select name=\"avail\">";
    h += std::string("<option value=\"999\" selected>") + (de ? "Weltweit" : "Worldwide") +
         "</option><option value=\"1\">" + (de ? "USA" : "United States") +
         "</option><option value=\"77\">" + (de ? "Deutschland" : "Germany") +
         "</option></select></div>\n";
    h += std::string("<input type=\"submit\" value=\"") + (de ? "Finden" : "Search") +
         "\">\n</form>\n";
    return h + Html::end(lang);
}

std::string SearchPages::categoryListing(int category, const std::vector<Auction*>& auctions,
                                         double now, Language lang)
{
    if (!CategoryTree::find(category))
        return std::string();
    const auto join = [](const std::vector<std::string>& names, const char* sep) {
        std::string s;
        for (size_t i = 0; i < names.size(); ++i)
            s += (i ? sep : "") + names[i];
        return s;
    };
    const std::vector<std::string> path = CategoryTree::path(category, lang);
    std::string h = Html::begin(join(path, " > "), lang);
    // Both sites' category labels, so the favourites of either profile find their line.
    h += Html::line("Listed in category: " +
                    join(CategoryTree::path(category, Language::English), " > "));
    h += Html::line("Kategorie: " + join(CategoryTree::path(category, Language::German), " > "));
    h += "<table class=\"listing\">\n";
    for (const Auction* a : auctions) {
        if (a->ended(now) || !CategoryTree::within(a->listing().category, category))
            continue;
        h += "<tr><td>" +
             Html::link("/ws/eBayISAPI.dll?ViewItem&item=" + std::to_string(a->listing().item),
                        a->listing().title) +
             "</td><td>" + Html::escape(a->style().formatPrice(a->currentPrice())) + "</td><td>" +
             Html::escape(timeLeftCell(*a, now, a->style().language() == Language::German)) +
             "</td></tr>\n";
    }
    h += "</table>\n";
    return h + Html::end(lang);
}
