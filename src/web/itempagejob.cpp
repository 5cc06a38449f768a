#include "web/itempagejob.h"

#include "model/biditem.h"

#include <QThread>

void ItemPageJob::read(const ItemPageReader& reader, const std::shared_ptr<CBidItem>& item)
{
    Q_ASSERT(QThread::currentThread() == thread());
    QString url;
    const QString text = reader.download(item->id(), &url);
    if (QThread::currentThread()->isInterruptionRequested())
        return;
    // The item is this job's own: no lock is needed to fill it.
    Q_EMIT done(item, reader.parse(*item, url, text));
}
