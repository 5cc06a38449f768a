#include "modelfixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

ModelTest::ModelTest()
{
    m_home.app().clock().setTimeSource([] { return kNow; });
    m_sites.load(m_home.app().machineRegistry(), QStringLiteral("www.ebay.de"));
    settings().login = QStringLiteral("buyer");
    settings().password = QStringLiteral("secret");
    m_doc.setEffects(&m_effects);
    m_doc.setEvents(&m_events);
    m_doc.newDocument();
}

CBidItem* ModelTest::addItem(const QString& id, quint32 status, qint32 folderId)
{
    auto item = std::make_unique<CBidItem>();
    item->setId(id);
    item->setStatus(status);
    return m_doc.appendItem(std::move(item), m_doc.folderById(folderId));
}

CBidFolder* ModelTest::addFolder(qint32 id, qint32 parentId, const QString& name)
{
    auto folder = std::make_unique<CBidFolder>(id, parentId, name);
    folder->setParent(m_doc.folderById(parentId));
    return m_doc.appendFolder(std::move(folder));
}

QString ModelTest::root()
{
    return QFileInfo(m_home.app().paths().dataDir()).absolutePath();
}

QString ModelTest::writeFile(const QString& relativePath, const QByteArray& content)
{
    const QString path = root() + "/" + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}
