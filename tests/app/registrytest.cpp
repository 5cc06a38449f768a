#include "app/registry.h"
#include "support/temphome.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(RegistryTest, ValuesSurviveReopeningAndSubsectionsUseBackslashPaths)
{
    TempHome home;
    const QString path = home.paths().userSettingsFile();
    {
        Registry registry(path);
        registry.writeInt("Options", "startBefore", 45);
        registry.writeInt("Options\\Frame", "Top", -1);
        registry.writeStr("EMails", "sellerBody", "Hello, a, b.\r\nBye");
        registry.writeStr("Recent File List", "File1", "/home/u/My Bids.bid");
    }
    Registry registry(path);
    EXPECT_EQ(registry.readInt("Options", "startBefore", 60), 45);
    EXPECT_EQ(registry.readInt("Options\\Frame", "Top", 5), -1);
    EXPECT_EQ(registry.readStr("EMails", "sellerBody"), "Hello, a, b.\r\nBye");
    EXPECT_EQ(registry.readStr("Recent File List", "File1"), "/home/u/My Bids.bid");
    EXPECT_EQ(registry.subsections("Options"), QStringList{"Frame"});
    EXPECT_EQ(registry.valueNames("Options"), QStringList{"startBefore"});
}

TEST(RegistryTest, UnreadableValuesGiveTheirDefaults)
{
    TempHome home;
    const QString path = home.writeFile("config/gavelin.ini", "[Options]\n"
                                                              "startBefore=soon\n"
                                                              "refreshEvery=\n"
                                                              "big=99999999999\n"
                                                              "unsigned=4294967295\n");
    Registry registry(path);
    EXPECT_FALSE(registry.isDamaged());
    EXPECT_EQ(registry.readInt("Options", "startBefore", 60), 60);
    EXPECT_EQ(registry.readInt("Options", "refreshEvery", 5), 5);
    EXPECT_EQ(registry.readInt("Options", "big", 7), 7);
    EXPECT_EQ(registry.readInt("Options", "unsigned", 7), -1); // a 32-bit value
    EXPECT_EQ(registry.readInt("Options", "absent", 3), 3);
    EXPECT_EQ(registry.readStr("Options", "absent", "x"), "x");
}

TEST(RegistryTest, InvertedValuesAreNeverStoredInClear)
{
    TempHome home;
    const QString path = home.paths().userSettingsFile();
    {
        Registry registry(path);
        registry.writeInverted("Login", "Password", "s3cret-Pässword");
        EXPECT_EQ(registry.readInverted("Login", "Never"), QString());
    }
    const QByteArray raw = readAll(path);
    EXPECT_FALSE(raw.contains("s3cret"));
    EXPECT_FALSE(raw.contains("Pässword"));
    Registry registry(path);
    EXPECT_EQ(registry.readInverted("Login", "Password"), "s3cret-Pässword");
    EXPECT_EQ(Registry::invertBytes(Registry::invertBytes("abc\xff")), QByteArray("abc\xff"));
    EXPECT_EQ(Registry::invertBytes("A"), QByteArray(1, char(~'A')));
}

TEST(RegistryTest, DamagedFileGivesDefaultsAndIsKeptUntilOptionsAreSaved)
{
    TempHome home;
    const QByteArray garbage("\x00\x01[Options\xff\xfe startBefore=1\x00", 28);
    const QString path = home.writeFile("config/gavelin.ini", garbage);
    {
        Registry registry(path);
        EXPECT_TRUE(registry.isDamaged());
        EXPECT_EQ(registry.readInt("Options", "startBefore", 60), 60);
        registry.writeInt("Options", "firststartup2", 0);
        // Held in memory for this run.
        EXPECT_EQ(registry.readInt("Options", "firststartup2", 1), 0);
        registry.sync();
    }
    EXPECT_EQ(readAll(path), garbage);

    Registry registry(path);
    registry.writeInt("Options", "startBefore", 40);
    registry.commitDamaged();
    EXPECT_FALSE(registry.isDamaged());
    EXPECT_EQ(readAll(path + ".damaged"), garbage);
    Registry reread(path);
    EXPECT_FALSE(reread.isDamaged());
    EXPECT_EQ(reread.readInt("Options", "startBefore", 60), 40);
}

TEST(RegistryTest, CopyTreeSeedsAnotherRoot)
{
    TempHome home;
    Registry machine(home.paths().machineSettingsFile());
    Registry user(home.paths().userSettingsFile());
    machine.writeInt("Profile\\Gavelin\\Options", "startBefore", 90);
    machine.writeStr("Profile\\Gavelin\\Login", "Login", "seeded");
    ASSERT_TRUE(machine.copyTree("Profile\\Gavelin", user, QString()));
    EXPECT_EQ(user.readInt("Options", "startBefore", 60), 90);
    EXPECT_EQ(user.readStr("Login", "Login"), "seeded");
}

} // namespace
