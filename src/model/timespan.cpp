#include "model/timespan.h"

QString FormatTimeSpan(qint64 seconds, const QString& format)
{
    // Negated without overflow, even for the most negative count.
    const quint64 span =
        seconds < 0 ? static_cast<quint64>(-(seconds + 1)) + 1u : static_cast<quint64>(seconds);
    const quint64 days = span / 86400u;
    const int hours = static_cast<int>(span / 3600u % 24u);
    const int minutes = static_cast<int>(span / 60u % 60u);
    const int secs = static_cast<int>(span % 60u);
    const auto twoDigits = [](int value) {
        return QString::number(value).rightJustified(2, QLatin1Char('0'));
    };

    QString out;
    out.reserve(format.size() + 8);
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%') || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        const QChar code = format.at(i + 1);
        if (code == QLatin1Char('D'))
            out += QString::number(days);
        else if (code == QLatin1Char('H'))
            out += twoDigits(hours);
        else if (code == QLatin1Char('M'))
            out += twoDigits(minutes);
        else if (code == QLatin1Char('S'))
            out += twoDigits(secs);
        else if (code == QLatin1Char('%'))
            out += QLatin1Char('%');
        else {
            out += c;
            continue;
        }
        ++i;
    }
    return out;
}
