// gavelind's own command line: what it refuses and what it answers without starting.

#include "app/appcontext.h"
#include "app/systeminfo.h"
#include "support/temphome.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Outcome
{
    int status = -1;
    QString out;
    QString err;
};

Outcome runDaemon(const TempHome& home, const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("GAVELIN_HOME", home.root());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(GAVELIN_BINARY_DIR "/src/gavelind"), arguments);
    // A refused line that started the engine anyway would never end: kill it and fail.
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(DaemonCommandLineTest, UnknownWordsAreRefusedWithoutStartingTheEngine)
{
    TempHome home;

    Outcome typo = runDaemon(home, {"lsit"});
    EXPECT_EQ(typo.status, 2);
    EXPECT_EQ(typo.err, "gavelind: unknown command 'lsit' (see gavelind --help)\n"
                        "did you mean 'list'?\n");
    EXPECT_TRUE(typo.out.isEmpty());

    Outcome unknown = runDaemon(home, {"backup", "now"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "gavelind: unknown command 'backup' (see gavelind --help)\n");

    Outcome empty = runDaemon(home, {""});
    EXPECT_EQ(empty.status, 2);
    EXPECT_TRUE(empty.err.startsWith("gavelind: unknown command ''")) << empty.err.toStdString();

    Outcome option = runDaemon(home, {"--verison"});
    EXPECT_EQ(option.status, 2);
    EXPECT_TRUE(option.err.contains("unknown option '--verison'")) << option.err.toStdString();
    EXPECT_TRUE(option.err.contains("did you mean '--version'?")) << option.err.toStdString();

    // Start words are checked to the end: a dangling --add or a stray word starts nothing.
    EXPECT_EQ(runDaemon(home, {"run", "--add"}).status, 2);
    EXPECT_EQ(runDaemon(home, {"run", "lsit"}).status, 2);
    EXPECT_EQ(runDaemon(home, {"help", "lsit"}).status, 2);

    EXPECT_FALSE(QFile::exists(home.paths().logFile()));
    EXPECT_TRUE(QDir(home.paths().dataDir()).isEmpty());
}

TEST(DaemonCommandLineTest, VersionAndCommandHelpAnswerWithoutStarting)
{
    TempHome home;

    Outcome version = runDaemon(home, {"--version"});
    EXPECT_EQ(version.status, 0);
    const int number = AppContext::builtInVersion();
    const QString first = QStringLiteral("gavelind %1 (versionApp %2)\n")
                              .arg(QString::asprintf("%d.%.2d", number >> 16, number & 0xffff))
                              .arg(number);
    EXPECT_TRUE(version.out.startsWith(first)) << version.out.toStdString();
    EXPECT_TRUE(version.out.contains(QStringLiteral("\nQt %1\n").arg(qVersion())));
    EXPECT_TRUE(version.out.contains("\nlibcurl " + SystemInfo::httpEngineVersion() + "\n"));
    EXPECT_TRUE(version.out.contains("\ngumbo " GAVELIN_GUMBO_VERSION "\n"));

    Outcome help = runDaemon(home, {"help", "list"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: gavelind list FILE")) << help.out.toStdString();
    EXPECT_EQ(runDaemon(home, {"list", "--help"}).out, help.out);

    EXPECT_FALSE(QFile::exists(home.paths().logFile()));
}

} // namespace
