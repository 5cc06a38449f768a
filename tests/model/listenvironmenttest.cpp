// The list takes the application's parts when it is made; nothing falls back to a lookup.

#include "app/appsettings.h"
#include "model/accesslock.h"
#include "model/bidsdoc.h"
#include "model/documentstore.h"
#include "model/recentfiles.h"
#include "model/startuplist.h"
#include "support/apphome.h"

#include <gtest/gtest.h>

TEST(ListEnvironmentTest, AccessLockNeverOpensForAWrongPasswordWithoutAnApplication)
{
    ASSERT_EQ(AppContext::current(), nullptr);
    AppSettings settings;
    settings.lock = 1;
    settings.lockPassword = "Open Sesame";
    AccessLock lock(settings);
    EXPECT_TRUE(lock.isRequired());
    EXPECT_FALSE(lock.unlock("anything"));
    EXPECT_TRUE(lock.isLocked());
    EXPECT_TRUE(lock.unlock("Open Sesame"));
}

TEST(ListEnvironmentTest, StandaloneListTouchesNoApplicationFiles)
{
    AppHome home; // a living application the standalone list must not reach
    home.app().settings().recentFiles = QStringList{"/lists/keep.bid"};
    CBidsDoc doc(ListEnvironment::standalone());
    doc.newDocument();
    DocumentStore store(doc);

    EXPECT_FALSE(store.autosave());
    EXPECT_EQ(StartupList::load(doc, nullptr), StartupList::Source::NewList);
    RecentFiles(doc.environment()).add("/lists/other.bid");
    EXPECT_EQ(RecentFiles(doc.environment()).list(), QStringList{"/lists/other.bid"});
    EXPECT_EQ(home.app().settings().recentFiles, QStringList{"/lists/keep.bid"});
    EXPECT_NE(&doc.itemsLock(), &home.app().itemsLock());
}

TEST(ListEnvironmentTest, ApplicationListSharesLockSettingsAndRegistry)
{
    AppHome home;
    CBidsDoc doc(ListEnvironment::of(home.app()));
    EXPECT_EQ(&doc.itemsLock(), &home.app().itemsLock());

    home.app().settings().lock = 1;
    home.app().settings().lockPassword = "pw";
    EXPECT_TRUE(doc.accessLock().isRequired()); // the options sheet's change is seen at once

    DocumentStore(doc).rememberOpenDialogPath("/lists/chosen.bid");
    AppSettings reread;
    reread.readAll(home.app().userRegistry());
    EXPECT_EQ(reread.initDir, "/lists/chosen.bid");
    RecentFiles(doc.environment()).add("/lists/a.bid");
    reread.readRecentFiles(home.app().userRegistry());
    EXPECT_EQ(reread.recentFiles.value(0), "/lists/a.bid");
}
