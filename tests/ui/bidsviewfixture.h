#pragma once

#include "model/bidsdoc.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "ui/bidsleftview.h"
#include "ui/bidsrightview.h"
#include "ui/bidsviewevents.h"

#include <memory>

// The folder tree and the bids list over a new list, in a home on the German site with
// the user "buyer" and a clock standing at kNow.
class BidsViews
{
public:
    static constexpr qint64 kNow = 1700000000;

    BidsViews()
    {
        app().clock().setTimeSource([] { return kNow; });
        m_sites.load(app().machineRegistry(), QStringLiteral("www.ebay.de"));
        app().settings().login = QStringLiteral("buyer");
        app().settings().password = QStringLiteral("secret");
        tree = std::make_unique<CBidsLeftView>(app(), doc);
        list = std::make_unique<CBidsRightView>(app(), doc);
        m_events = std::make_unique<BidsViewEvents>(tree.get(), list.get());
        doc.setEvents(m_events.get());
        doc.newDocument();
    }

    ~BidsViews()
    {
        doc.setEvents(nullptr);
        m_events.reset();
        list.reset();
        tree.reset();
    }

    AppContext& app() { return m_home.app(); }

    CBidItem* addItem(const QString& id, quint32 status, qint32 folderId = -1,
                      const QString& title = QString())
    {
        auto item = std::make_unique<CBidItem>();
        item->setId(id);
        item->setStatus(status);
        item->setTitle(title);
        item->setEndTime(kNow + 86400);
        return doc.appendItem(std::move(item), doc.folderById(folderId));
    }

    CBidFolder* addFolder(qint32 id, qint32 parentId, const QString& name)
    {
        auto folder = std::make_unique<CBidFolder>(id, parentId, name);
        folder->setParent(doc.folderById(parentId));
        return doc.appendFolder(std::move(folder));
    }

private:
    AppHome m_home;
    SiteSettings m_sites;

public:
    CBidsDoc doc{ListEnvironment::of(m_home.app())};
    std::unique_ptr<CBidsLeftView> tree;
    std::unique_ptr<CBidsRightView> list;

private:
    std::unique_ptr<BidsViewEvents> m_events;
};
