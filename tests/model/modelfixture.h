#pragma once

#include "model/bidsdoc.h"
#include "model/ibideffects.h"
#include "model/ibidworker.h"
#include "model/idocumentevents.h"
#include "sites/sitesettings.h"
#include "support/apphome.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// Records what the document asked of the engine and the window.
class FakeEffects : public IBidEffects
{
public:
    void startRetraction(CBidItem& item) override { retractions << item.id(); }
    void requestMailNotification(MailNotification kind, const CBidItem& item) override
    {
        mails << QStringLiteral("%1:%2").arg(kind).arg(item.id());
    }
    void postShutdownRequest() override { ++shutdownRequests; }
    void setOutbidIndicator(bool on) override { outbidIndicator = on; }

    QStringList retractions;
    QStringList mails;
    int shutdownRequests = 0;
    bool outbidIndicator = false;
};

class FakeEvents : public IDocumentEvents
{
public:
    void foldersChanged() override { ++folderChanges; }
    void listRebuilt(const std::vector<int>& list) override { rows = list; }
    void itemRowChanged(int index) override { changedRows.push_back(index); }

    int folderChanges = 0;
    std::vector<int> rows;
    std::vector<int> changedRows;
};

class FakeWorker : public IBidWorker
{
public:
    void postQuit() override { ++quits; }
    void postRetract() override { ++retracts; }

    int quits = 0;
    int retracts = 0;
};

// An application home on the German site with the user "buyer", a clock standing at
// kNow, and a new list wired to fakes.
class ModelTest : public ::testing::Test
{
public:
    static constexpr qint64 kNow = 1700000000;

protected:
    ModelTest();

    // The folder that holds the home's config, data and documents folders.
    QString root();
    // Writes a file below root() (creating folders); returns its path.
    QString writeFile(const QString& relativePath, const QByteArray& content);

    AppSettings& settings() { return m_home.app().settings(); }
    CBidItem* addItem(const QString& id, quint32 status, qint32 folderId = -1);
    CBidFolder* addFolder(qint32 id, qint32 parentId, const QString& name);
    QString logText() const { return m_home.logText(); }

    AppHome m_home;
    SiteSettings m_sites;
    FakeEffects m_effects;
    FakeEvents m_events;
    FakeWorker m_workers[3]; // outlive the document, which tells them to quit
    CBidsDoc m_doc{ListEnvironment::of(m_home.app())};
};
