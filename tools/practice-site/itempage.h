#pragma once

#include <string>

class Auction;

// The view-item page of one listing, in its site's wording and number style. Every value a
// sniper reads sits on the same rendered line as its label; the seller's description lies
// between the description heading and the bid box, so that it can be cut out.
class ItemPage
{
public:
    // `viewer` is the signed-in member (may be empty); `banner` a notice shown on top,
    // such as the outcome of a bid just placed. Pictures and the script are addressed
    // absolutely under `assetBase`, so that a saved copy can name them as the page does.
    static std::string render(const Auction& auction, double now, const std::string& viewer,
                              const std::string& banner, const std::string& assetBase = {});

    // "1 hour 5 mins" / "1 Std. 5 Min."
    static std::string timeLeft(double seconds, bool german);
    // The feedback figure shown after a member's name.
    static int feedbackOf(const std::string& member);
};
