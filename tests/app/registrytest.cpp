#include "app/registry.h"
#include "app/programlog.h"
#include "app/siteclock.h"
#include "support/temphome.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

TEST(RegistryTest, OnlySettingsTextIsReadAndNeverWhole)
{
    TempHome home;
    // FIFOs without a writer or reader, looked at in a child so that a hang ends the child.
    const QString fifo = home.paths().userSettingsFile();
    const QString logFifo = home.paths().logFile();
    for (const QString& path : {fifo, logFifo})
        ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(10);
        Registry registry(fifo);
        SiteClock clock;
        ProgramLog log(clock);
        _exit(registry.isDamaged() && !log.open(logFifo) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "hangs or takes a FIFO";
    {
        Registry registry(fifo);
        EXPECT_EQ(registry.damageReason(), "is not a regular file");
        registry.writeInt("Options", "startBefore", 45);
        registry.commitDamaged(); // the user's word: replace it
    }
    EXPECT_TRUE(QFileInfo(fifo).isFile());
    EXPECT_FALSE(QFileInfo(fifo + ".damaged").isFile()); // the FIFO, kept
    EXPECT_EQ(Registry(fifo).readInt("Options", "startBefore", 60), 45);

    // 1.5 GB of nothing on disk: judged by its size alone.
    const QString sparse = home.paths().machineSettingsFile();
    {
        QFile file(sparse);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(qint64(1536) << 20));
    }
    Registry huge(sparse);
    EXPECT_TRUE(huge.isDamaged());
    EXPECT_TRUE(huge.damageReason().contains("too large")) << huge.damageReason().toStdString();
    QFile::remove(sparse);

    // Neither UTF-8 nor Windows-1252 (0x81 and 0x8D are unassigned there).
    Registry binary(home.writeFile("config/other.ini", "[Options]\nstartBefore=45\nx=\x81\x8d\n"));
    EXPECT_TRUE(binary.isDamaged());
    EXPECT_EQ(binary.readInt("Options", "startBefore", 60), 60);
    QDir().mkpath(home.root() + "/config/folder.ini");
    EXPECT_TRUE(Registry(home.root() + "/config/folder.ini").isDamaged());
}

TEST(RegistryTest, OlderWindows1252FileIsReadAsWindows1252)
{
    TempHome home;
    const QByteArray older("[EMails]\nsellerSubject=Gr\xfc\xdf"
                           "e \x80 5\n");
    const QString path = home.writeFile("config/gavelin.ini", older);
    {
        Registry registry(path);
        EXPECT_FALSE(registry.isDamaged());
        EXPECT_EQ(registry.readStr("EMails", "sellerSubject"), "Grüße € 5");
        registry.writeInt("Options", "startBefore", 45);
    }
    EXPECT_EQ(readAll(path + ".cp1252"), older);
    Registry reread(path);
    EXPECT_EQ(reread.readStr("EMails", "sellerSubject"), "Grüße € 5");
    EXPECT_EQ(reread.readInt("Options", "startBefore", 60), 45);
}

TEST(RegistryTest, SettingsLogAndTheirFoldersArePrivate)
{
    const auto mode = [](const QString& path) {
        struct stat info
        {
        };
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 0777)
                                                                       : -1;
    };
    TempHome home;
    const AppPaths paths = home.paths();
    // What older versions left: 0755 folders, 0644 files.
    const QString ini = home.writeFile("config/gavelin.ini", "[Login]\nLogin=ann\n");
    const QString oldLog = home.writeFile("data/qzvt.log", "+old\r\n");
    for (const QString& path : {paths.configDir(), paths.dataDir()})
        QFile::setPermissions(path, QFile::Permissions(0x7755));
    for (const QString& path : {ini, oldLog})
        QFile::setPermissions(path, QFile::Permissions(0x6644));
    ASSERT_TRUE(paths.ensureFolders());
    EXPECT_EQ(mode(paths.configDir()), 0700);
    EXPECT_EQ(mode(paths.dataDir()), 0700);
    {
        Registry user(ini);
        EXPECT_EQ(mode(ini), 0600);
        Registry machine(paths.machineSettingsFile());
        user.writeInverted("Login", "Password", "hunter2");
        machine.writeStr("URL", "URLSettings", "http://127.0.0.1:1/");
    }
    EXPECT_EQ(mode(ini), 0600);
    EXPECT_EQ(mode(paths.machineSettingsFile()), 0600);
    SiteClock clock;
    ProgramLog log(clock);
    ASSERT_TRUE(log.open(oldLog));
    EXPECT_EQ(mode(oldLog), 0600);
    ASSERT_TRUE(log.open(paths.dataDir() + "/new.log"));
    EXPECT_EQ(mode(paths.dataDir() + "/new.log"), 0600);
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
