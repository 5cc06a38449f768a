#include "itempage.h"

#include "auction.h"
#include "categorytree.h"
#include "html.h"

#include <algorithm>
#include <cmath>

namespace {

std::string categoryHref(int id)
{
    return "/aw/plistings/category" + std::to_string(id) + "/index.html?from=R11";
}

std::string member(const std::string& name)
{
    return Html::escape(name) + " ( " + std::to_string(ItemPage::feedbackOf(name)) + " )";
}

std::string categoryLine(const Auction::Listing& l, Language lang)
{
    std::string links;
    std::vector<int> ids;
    for (const CategoryTree::Category* c = CategoryTree::find(l.category); c;
         c = c->parent ? CategoryTree::find(c->parent) : nullptr)
        ids.insert(ids.begin(), c->id);
    for (size_t i = 0; i < ids.size(); ++i) {
        if (i)
            links += " &gt; ";
        links +=
            Html::link(categoryHref(ids[i]), CategoryTree::name(*CategoryTree::find(ids[i]), lang));
    }
    return std::string("<div>") +
           Html::pick(lang, "Back to list of items | Listed in category: ",
                      "Zur\xC3\xBC"
                      "ck zur Liste | Kategorie: ") +
           links + "</div>\n";
}

std::string bidderValue(const Auction& a, const std::string& bidder, Language lang)
{
    if (a.listing().isPrivate)
        return Html::escape(
            Html::pick(lang, "User ID kept private", "Mitgliedsname wird nicht angezeigt"));
    return member(bidder);
}

} // namespace

int ItemPage::feedbackOf(const std::string& member)
{
    unsigned sum = 0;
    for (const char c : member)
        sum = sum * 31 + static_cast<unsigned char>(c);
    return static_cast<int>(sum % 90) + 10;
}

std::string ItemPage::timeLeft(double seconds, bool german)
{
    const long long total = std::max(0LL, static_cast<long long>(std::ceil(seconds)));
    const long long days = total / 86400, hours = total % 86400 / 3600, mins = total % 3600 / 60,
                    secs = total % 60;
    auto part = [german](long long n, const char* en1, const char* enN, const char* de) {
        return std::to_string(n) + " " + (german ? de : (n == 1 ? en1 : enN));
    };
    if (days > 0)
        return part(days, "day", "days", days == 1 ? "Tag" : "Tage") + " " +
               part(hours, "hour", "hours", "Std.");
    if (hours > 0)
        return part(hours, "hour", "hours", "Std.") + " " + part(mins, "min", "mins", "Min.");
    return part(mins, "min", "mins", "Min.") + " " + part(secs, "sec", "secs", "Sek.");
}

std::string ItemPage::render(const Auction& a, double now, const std::string& viewer,
                             const std::string& banner, const std::string& assetBase)
{
    const Auction::Listing& l = a.listing();
    const SiteStyle& st = a.style();
    const Language lang = st.language();
    const bool de = lang == Language::German;
    const bool ended = a.ended(now);
    const bool fixed = l.kind == Auction::Kind::FixedPrice;
    const std::string item = std::to_string(l.item);
    auto pick = [lang](const char* en, const char* ger) { return Html::pick(lang, en, ger); };

    std::string h = Html::begin(l.title + " - " + item, lang,
                                l.windows1252 ? "windows-1252" : "utf-8", true, assetBase);
    if (!banner.empty())
        h += "<div class=\"banner\"><b>" + Html::escape(banner) + "</b></div>\n";
    if (ended) {
        h += Html::line(
            fixed ? pick("This listing has ended.", "Dieses Angebot ist beendet.")
                  : pick("Bidding has ended for this item.", "Dieses Angebot ist beendet."));
        bool viewerWon = l.winnerView;
        for (const Auction::Winner& w : a.winners())
            viewerWon = viewerWon || (!viewer.empty() && w.bidder == viewer);
        if (viewerWon && a.hasBids()) {
            h += Html::line(
                pick("Congratulations! You won the item.", "Sie haben den Artikel erworben."));
            if (de)
                h += Html::line("Der Verk\xC3\xA4ufer hat Ihnen Zahlungshinweise gesendet.");
        }
    }

    h += categoryLine(l, lang);
    if (de) {
        // German layout: the title is the line before the item number.
        h += "<h1>" + Html::escape(l.title) + "</h1>\n<table class=\"id\">" +
             Html::row("Artikelnummer:", item) + "</table>\n";
    } else {
        // English layout: title and item number share the line after the category.
        h += "<table class=\"title\"><tr><td><b>" + Html::escape(l.title) +
             "</b></td><td>Item number: " + item + "</td></tr></table>\n";
    }
    h += "<div class=\"picture\"><img src=\"" + assetBase + "/images/item-" + item +
         ".gif\" alt=\"\" width=\"64\" height=\"64\"></div>\n";

    h += "<table class=\"summary\">\n";
    const char* priceLabel;
    if (fixed)
        priceLabel = ended && a.hasBids() ? pick("Sold for:", "Verkauft f\xC3\xBCr:")
                                          : pick("Price:", "Sofort-Kaufen-Preis:");
    else if (!a.hasBids())
        priceLabel = pick("Starting bid", "Startpreis:");
    else
        priceLabel = ended ? pick("Winning bid:", "Erfolgreiches Gebot:")
                           : pick("Current bid:", "Aktuelles Gebot:");
    h += Html::row(priceLabel, Html::escape(st.formatPrice(a.currentPrice())));

    if (ended) {
        h += Html::row(pick("Ended:", "Endet:"),
                       Html::escape(st.formatTime(static_cast<int64_t>(a.endedAt()), l.timeShape)));
    } else if (l.hasEndTime) {
        h += Html::row(pick("Time left:", "Restzeit:"), timeLeft(l.endTime - now, de));
        h += Html::row(pick("Ends", "Angebot endet:"),
                       Html::escape(st.formatTime(static_cast<int64_t>(l.endTime), l.timeShape)));
    }

    if (!fixed) {
        // The count must follow the label directly: the sniper reads its leading digits.
        const int n = a.bidCount();
        const std::string count = std::to_string(n) + " " +
                                  (de ? (n == 1 ? "Gebot" : "Gebote") : (n == 1 ? "bid" : "bids"));
        h += "<tr><td colspan=\"2\">" +
             std::string(pick("History:", "Gebots\xC3\xBC"
                                          "bersicht:")) +
             Html::link("/aw-cgi/eBayISAPI.dll?ViewBids&item=" + item, count) + " (" +
             Html::escape(st.formatPrice(l.startCents)) + pick(" starting bid)", " Startpreis)") +
             "</td></tr>\n";
    }

    std::string quantity = std::to_string(fixed && !ended ? a.remaining() : l.quantity);
    if (l.quantity > 1)
        quantity += pick(" available", " verf\xC3\xBCgbar");
    h += Html::row(pick("Quantity:", "Menge:"), quantity);

    if (l.kind == Auction::Kind::Dutch && a.hasBids()) {
        h += Html::row(ended ? pick("Winning bidder:", "K\xC3\xA4ufer:")
                             : pick("High bidder:", "H\xC3\xB6"
                                                    "chstbietender:"),
                       l.isPrivate
                           ? bidderValue(a, "", lang)
                           : Html::link("/aw-cgi/eBayISAPI.dll?ViewBidsDutchHighBidder"
                                        "&item=" +
                                            item,
                                        pick("See the list of high bidders", "Liste der H\xC3\xB6"
                                                                             "chstbietenden")));
    } else if (l.kind == Auction::Kind::Single && a.hasBids()) {
        h += Html::row(ended ? pick("Winning bidder:", "K\xC3\xA4ufer:")
                             : pick("High bidder:", "H\xC3\xB6"
                                                    "chstbietender:"),
                       bidderValue(a, a.highBidder(), lang));
    } else if (fixed && ended && a.hasBids()) {
        h += Html::row(pick("Buyer:", "K\xC3\xA4ufer:"), bidderValue(a, a.highBidder(), lang));
    }
    h += Html::row(pick("Shipping costs:", "Versandkosten:"),
                   Html::escape(st.formatPrice(l.shippingCents)) +
                       pick(" -- Standard Flat Rate Shipping", " -- Standardversand"));
    h += "</table>\n";

    std::string positive = l.sellerPositive;
    if (de)
        std::replace(positive.begin(), positive.end(), '.', ',');
    h += "<table class=\"seller\">\n" +
         Html::row(pick("Seller information", "Angaben zum"),
                   Html::escape(l.seller) + " ( " + std::to_string(l.sellerScore) + " )") +
         Html::row(pick("Feedback Score:", "Bewertungsprofil:"),
                   "(" + std::to_string(l.sellerScore) + ")") +
         Html::row(pick("Positive Feedback:", "Positive Bewertungen:"), Html::escape(positive)) +
         "</table>\n";

    std::string description = Html::escape(l.description);
    for (size_t p = description.find('\n'); p != std::string::npos;
         p = description.find('\n', p + 4))
        description.replace(p, 1, "<br>");
    h += Html::heading(pick("Description", "Beschreibung")) + "<div class=\"description\">" +
         description + "</div>\n";

    if (!ended) {
        h += Html::heading(
            fixed ? pick("Ready to bid? Buy It Now", "Gebot abgeben oder sofort kaufen")
                  : pick("Ready to bid?", "Gebot abgeben"));
        if (fixed) {
            h += Html::formBegin("binform", "/ws/eBayISAPI.dll") +
                 Html::hidden("MfcISAPICommand", "BinConfirm") + Html::hidden("item", item);
            h += Html::line(std::string(pick("Buy It Now price: ", "Sofort-Kaufen: ")) +
                            st.formatPrice(l.startCents));
            if (l.quantity > 1)
                h += std::string("<div>") + pick("Number of items ", "Anzahl ") +
                     "<input type=\"text\" name=\"quantity\" value=\"1\" size=\"4\"></div>\n";
            else
                h += Html::hidden("quantity", "1");
            h += std::string("<input type=\"submit\" value=\"") +
                 pick("Buy It Now", "Sofort-Kaufen") + "\">\n</form>\n";
        } else {
            h += Html::formBegin("bidform", "/ws/eBayISAPI.dll") +
                 Html::hidden("MfcISAPICommand", "MakeBid") + Html::hidden("item", item);
            const std::string min = st.formatPrice(a.minimumBid());
            h += Html::line(de ? "Geben Sie mindestens " + min + " ein."
                               : "Enter " + min + " or more");
            h += std::string("<div>") + pick("Your maximum bid: ", "Ihr Maximalgebot: ") +
                 "<input type=\"text\" name=\"maxbid\" size=\"10\"></div>\n";
            if (l.kind == Auction::Kind::Dutch)
                h += std::string("<div>") + pick("Number of items ", "Anzahl ") +
                     "<input type=\"text\" name=\"quant\" value=\"1\" size=\"4\"></div>\n";
            h += std::string("<input type=\"submit\" value=\"") + pick("Place Bid", "Bieten") +
                 "\">\n</form>\n";
        }
    }
    return h + Html::end(lang);
}
