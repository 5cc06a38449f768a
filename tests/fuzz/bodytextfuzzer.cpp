// libFuzzer target for page reading: any bytes, in any declared charset, must parse, render
// to body text and give up their forms and links without a crash or a hang. The body text
// never holds an empty line.

#include "web/htmldocument.h"
#include "web/htmlform.h"
#include "web/nestinglimiter.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the charset the server declares.
    static const QByteArray kTypes[] = {"text/html", "text/html; charset=windows-1252",
                                        "text/html; charset=utf-8", "",
                                        "text/html; charset=koi8-r"};
    const QByteArray contentType = kTypes[data[0] % (sizeof kTypes / sizeof kTypes[0])];
    const QByteArray page(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));

    const auto document =
        HtmlDocument::fromBytes(page, contentType, QUrl("http://auction.test/ws/item?x=1"));
    const QString text = document->bodyText();
    if (text.startsWith(QLatin1String("\r\n")) || text.endsWith(QLatin1String("\r\n")) ||
        text.contains(QLatin1String("\r\n\r\n")))
        std::abort();
    (void)document->title();
    for (const HtmlElement& link : document->links())
        (void)link.url(QStringLiteral("href"));
    for (const HtmlForm& form : document->forms()) {
        for (const HtmlElement& field : form.elements())
            (void)field.value();
        (void)form.submission();
    }
    (void)NestingLimiter::limit(page, 3);
    return 0;
}
