// libFuzzer target for reading an item page: any bytes, rendered to body text (or taken as
// body text directly), with the description cut and parsed with the English, German or
// French wording, must give a verdict without a crash or a hang. An empty page is the only
// one refused for being empty.

#include "app/registry.h"
#include "model/biditem.h"
#include "sites/sitesettings.h"
#include "web/htmldocument.h"
#include "web/itempageparser.h"
#include "web/itempagereader.h"

#include <QByteArray>
#include <QDir>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

struct Site
{
    SiteProfile profile;
    QString description;
    QString readyBid;
};

Site loadSite(const QString& name)
{
    // No file behind it: every value is the built-in one.
    static Registry machine(QDir::tempPath() + "/gavelin-fuzz-absent/machine.ini");
    SiteSettings settings;
    settings.load(machine, name);
    return Site{settings.profile(), settings.lookup("%s_KeyWord_Description"),
                settings.lookup("%s_KeyWord_ReadyBid")};
}

const Site& site(uint8_t choice)
{
    static const Site sites[] = {loadSite("www.ebay.com"), loadSite("www.ebay.de"),
                                 loadSite("www.ebay.fr")};
    return sites[choice % 3];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the site and whether the rest is HTML or body text.
    const Site& s = site(data[0] & 0x7f);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    QString text;
    if (data[0] & 0x80) {
        text = QString::fromUtf8(bytes);
    } else {
        const auto document = HtmlDocument::fromBytes(bytes, "text/html");
        text = document->bodyText();
    }
    const ItemPageReader reader(s.profile, s.description, s.readyBid);
    CBidItem item;
    const ItemPageResult result = reader.parse(item, reader.viewItemUrl("1"), text);
    const QString cut = ItemPageReader::cutDescription(text, s.description, s.readyBid);
    const bool emptyVerdict = result.error == QLatin1String("Body is empty, error!!!");
    if (emptyVerdict != cut.isEmpty())
        std::abort();
    return 0;
}
