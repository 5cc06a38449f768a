#include "app/autostart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(AutostartTest, OnlyAnInstalledProgramIsEntryWorthyByItself)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString home = root.filePath("home");
    EXPECT_TRUE(Autostart::isInstalledProgram("/usr/bin/gavelin", home));
    EXPECT_TRUE(Autostart::isInstalledProgram("/opt/gavelin/bin/gavelin", home));
    EXPECT_TRUE(Autostart::isInstalledProgram(home + "/.local/bin/gavelin", home));
    EXPECT_FALSE(Autostart::isInstalledProgram(home + "/src/gavelin/gavelin", home));
    EXPECT_FALSE(Autostart::isInstalledProgram(QString(), home));
    // A build tree stays one wherever it lies.
    const QString tree = home + "/.local/src/gavelin/build";
    ASSERT_TRUE(QDir().mkpath(tree + "/src"));
    QFile cache(tree + "/CMakeCache.txt");
    ASSERT_TRUE(cache.open(QIODevice::WriteOnly));
    cache.close();
    EXPECT_FALSE(Autostart::isInstalledProgram(tree + "/src/gavelin", home));
}

TEST(AutostartTest, KeepingNeverPointsTheEntryAtACopyBehindTheUsersBack)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const Autostart autostart(root.filePath("autostart"));
    const QString built = root.filePath("build/src/gavelin");

    // Switched on by default, not installed: no entry appears.
    EXPECT_TRUE(autostart.keep(true, built));
    EXPECT_FALSE(autostart.isEnabled());

    // The user's tick writes it; keeping it from another copy leaves it as made.
    ASSERT_TRUE(autostart.apply(true, "/home/me/my gavelin/gavelin"));
    const QByteArray made = readAll(autostart.entryPath());
    EXPECT_TRUE(made.contains("Exec=\"/home/me/my gavelin/gavelin\" --minimize\n"));
    EXPECT_TRUE(autostart.keep(true, built));
    EXPECT_EQ(readAll(autostart.entryPath()), made);

    // An installed program brings the entry up to date; switched off, it goes.
    EXPECT_TRUE(autostart.keep(true, "/usr/bin/gavelin"));
    EXPECT_TRUE(readAll(autostart.entryPath()).contains("Exec=\"/usr/bin/gavelin\""));
    EXPECT_TRUE(autostart.keep(false, built));
    EXPECT_FALSE(autostart.isEnabled());
}

} // namespace
