#pragma once

#include <QByteArray>
#include <QString>

// What one retrieved mail asks for. The whole mail (status line, headers and body) is
// read lower-cased, so "ADDBID" works. Command words count only after the tag
// "qzvtmc"; the parameters "lot=", "price=" and "maxprice=" are taken at their first
// occurrence anywhere, headers included ("price=" also matches inside "maxprice=").
class MailCommandText
{
public:
    static constexpr const char* kTag = "qzvtmc";
    static constexpr int kItemNumberLength = 10;

    // A price parameter as the mail gave it.
    struct Price
    {
        // The parameter occurs at all.
        bool present = false;
        // What follows it up to the next blank, for the log (printable, at most 20).
        QString given;
        // The run of digits, "." and "," after it, each "," written as ".".
        QString text;
        // The run is a price the item dialog accepts: one decimal separator at most and
        // a value above 0.
        bool valid = false;
        float value = 0.0f;
    };

    explicit MailCommandText(const QByteArray& mail);

    bool hasTag() const { return m_tag >= 0; }
    // Whether `word` occurs after the tag.
    bool hasCommand(const char* word) const;
    bool hasAddBid() const { return hasCommand("addbid"); }
    bool hasDeactivate() const { return hasCommand("deactive"); }
    bool hasChange() const { return hasCommand("change"); }
    bool hasList() const { return hasCommand("list"); }

    // The ten digits after "lot="; empty when "lot=" is missing or is not followed by ten
    // digits.
    QString itemNumber() const;
    // What follows "lot=" as given, for the log (printable, at most ten characters).
    QString itemNumberText() const;
    Price addBidPrice() const { return price("price="); }
    Price changePrice() const { return price("maxprice="); }

    // The 48 characters from the tag, blanks at the end removed and line breaks as
    // blanks: the log's quote of a mail without a known command.
    QString excerpt() const;

private:
    Price price(const char* label) const;

    QByteArray m_text;
    qsizetype m_tag = -1;
};
