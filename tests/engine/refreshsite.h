#pragma once

// The practice site with an application, a bid list and a window that records what the
// engine shows and posts: what the refresh thread and the verdict are tested against.

#include "app/appcontext.h"
#include "app/imainwindow.h"
#include "app/itemslock.h"
#include "app/workerthread.h"
#include "engine/refreshthread.h"
#include "enginefakes.h"
#include "model/bidsdoc.h"
#include "sites/siteaccess.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"
#include "support/localzone.h"
#include "support/practicesiteprocess.h"

#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QTimer>
#include <atomic>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <utility>

// Keeps the commands and messages the engine sends; called from any thread.
class RecordingWindow : public AnsweringWindow
{
public:
    void postBidsViewCommand(int command) override
    {
        QMutexLocker lock(&m_mutex);
        m_commands << command;
    }
    void addMessage(const QString& line, int level) override
    {
        QMutexLocker lock(&m_mutex);
        m_lines << std::make_pair(line, level);
    }
    QList<int> commands() const
    {
        QMutexLocker lock(&m_mutex);
        return m_commands;
    }
    // The level of the first message containing `text`; -1 when none does.
    int levelOf(const QString& text) const
    {
        QMutexLocker lock(&m_mutex);
        for (const auto& [line, level] : m_lines) {
            if (line.contains(text))
                return level;
        }
        return -1;
    }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_commands.clear();
        m_lines.clear();
    }

private:
    mutable QMutex m_mutex;
    QList<int> m_commands;
    QList<std::pair<QString, int>> m_lines;
};

class RefreshSiteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EnsureCoreApplication();
        if (!QFile::exists(PracticeSiteProcess::binaryPath()))
            GTEST_SKIP() << "the practice site is not built";
        // The site writes its end times in the zone it inherits from this process.
        m_site = std::make_unique<PracticeSiteProcess>();
        ASSERT_TRUE(m_site->isRunning()) << m_site->errorString().toStdString();
        Registry& machine = app().machineRegistry();
        m_site->writeProfile(machine);
        AppSettings& settings = app().settings();
        settings.currentSite = QStringLiteral("www.ebay.com");
        settings.login = QStringLiteral("practice_user");
        settings.password = QStringLiteral("practice");
        app().publishSettings();
        m_sites.load(machine, settings.currentSite);

        // The program's clock stands still unless a test moves it.
        m_now.store(QDateTime::currentSecsSinceEpoch());
        app().clock().setTimeSource([this] { return m_now.load(); });
        app().setMainWindow(&m_window);
        m_doc = std::make_unique<CBidsDoc>(ListEnvironment::of(app()));
        m_doc->newDocument();
    }

    void TearDown() override
    {
        if (m_refresh)
            m_refresh->stop();
        // A pass let go by stop() still finishes its download.
        EXPECT_TRUE(WorkerThread::waitForDetached(30000));
        app().setMainWindow(nullptr);
    }

    AppContext& app() { return m_home.app(); }
    CBidsDoc& doc() { return *m_doc; }
    ItemsLock& lock() { return app().itemsLock(); }
    qint64 now() const { return m_now.load(); }
    void setNow(qint64 seconds) { m_now.store(seconds); }

    // Adds a listing to the site (the JSON of POST /_control/auctions); its item number.
    QString createAuction(const QByteArray& json)
    {
        const PracticeSiteProcess::Reply reply = m_site->control("POST", "/auctions", json);
        EXPECT_TRUE(reply.ok()) << reply.body.toStdString();
        return QJsonDocument::fromJson(reply.body).object()["item"].toString();
    }
    QJsonObject auction(const QString& id)
    {
        return QJsonDocument::fromJson(m_site->control("GET", "/auctions/" + id).body).object();
    }
    qint64 siteEndTime(const QString& id)
    {
        return qint64(std::floor(auction(id)["endTime"].toDouble()));
    }
    void control(const QByteArray& method, const QString& path, const QByteArray& json = {})
    {
        const PracticeSiteProcess::Reply reply = m_site->control(method, path, json);
        EXPECT_TRUE(reply.ok()) << reply.body.toStdString();
    }

    // A bid in "Open auctions", last refreshed now, not yet read from the site.
    CBidItem* addItem(const QString& id, float maxPrice, quint32 status = StatusActive)
    {
        ItemsLockGuard guard(lock());
        auto item = std::make_unique<CBidItem>();
        item->setId(id);
        item->setMaxPrice(maxPrice);
        item->setStatus(status);
        item->setLastRefreshTime(now());
        return doc().appendItem(std::move(item), doc().folderById(CBidFolder::OpenAuctionsId));
    }

    CRefreshThread& refresh()
    {
        if (!m_refresh) {
            m_refresh = std::make_unique<CRefreshThread>(app(), doc());
            m_refresh->start(BuildSiteProfile());
        }
        return *m_refresh;
    }

    // One pass, waited for: whether it refreshed something; nothing when none ended.
    std::optional<bool> pass()
    {
        std::optional<bool> result;
        QEventLoop loop;
        QObject::connect(&refresh(), &CRefreshThread::passFinished, &loop, [&](bool refreshed) {
            result = refreshed;
            loop.quit();
        });
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        refresh().postPoll();
        loop.exec();
        return result;
    }

    void setSettings(const std::function<void(AppSettings&)>& change)
    {
        change(app().settings());
        app().publishSettings();
    }

    LocalZone m_zone;
    AppHome m_home;
    SiteSettings m_sites;
    std::unique_ptr<PracticeSiteProcess> m_site;
    std::atomic<qint64> m_now{0};
    RecordingWindow m_window;
    std::unique_ptr<CBidsDoc> m_doc;
    std::unique_ptr<CRefreshThread> m_refresh;
};
