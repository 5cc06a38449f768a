#include "ui/updatewizardtext.h"

#include "app/stringtable.h"

namespace UpdateWizardText {

QString size(qint64 bytes)
{
    if (bytes < 1024)
        return StringTable::text(289).arg(QString::asprintf("%d", int(bytes)));
    if (bytes <= 1048575)
        return StringTable::text(290).arg(QString::asprintf("%0.1f", double(bytes) / 1024.0));
    return StringTable::text(291).arg(QString::asprintf("%0.2f", double(bytes) / 1048576.0));
}

QString sizes(qint64 done, qint64 total)
{
    return StringTable::text(292).arg(size(done), size(total));
}

QString timeLeft(qint64 seconds)
{
    if (seconds < 60)
        return StringTable::text(293).arg(seconds);
    const qint64 minutes = seconds / 60;
    const qint64 rest = seconds % 60;
    return rest == 0 ? StringTable::text(294).arg(minutes)
                     : StringTable::text(295).arg(minutes).arg(rest);
}

QString timeLeftLine(qint64 seconds, qint64 done, qint64 total)
{
    return StringTable::text(296).arg(timeLeft(seconds), sizes(done, total));
}

QString rate(double kbPerSecond)
{
    if (kbPerSecond < 1.0)
        return StringTable::text(297).arg(QString::asprintf("%0.0f", kbPerSecond * 1024.0));
    if (kbPerSecond < 10.0)
        return StringTable::text(298).arg(QString::asprintf("%0.2f", kbPerSecond));
    return StringTable::text(298).arg(QString::asprintf("%0.0f", kbPerSecond));
}

QString fileName(const QString& path)
{
    const qsizetype slash = qMax(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
    QString name = slash < 0 ? path : path.mid(slash + 1);
    if (name.size() < 2)
        name = path;
    // The name lands in the user's own folder: it may never climb out of it.
    name.replace(u'/', u'_').replace(u'\\', u'_');
    if (name.isEmpty() || name.startsWith(u'.'))
        name.prepend(QStringLiteral("gavelin-update"));
    return name;
}

bool isPackage(const QString& url)
{
    const QString address = url.trimmed();
    for (const char* ending : {".exe", ".deb", ".AppImage"}) {
        if (address.endsWith(QLatin1String(ending), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace UpdateWizardText
