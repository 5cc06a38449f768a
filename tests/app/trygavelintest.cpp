// tools/practice-site/try-gavelin.sh run again and again with one profile: each run must
// point every site address of the profile at the port the site has now.

#include "support/temphome.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(TryGavelinTest, RerunsWithOneProfileGetTheNewPort)
{
    const QString build = QStringLiteral(GAVELIN_BINARY_DIR);
    if (!QFile::exists(build + "/tools/practice-site/gavelin-practice-site"))
        GTEST_SKIP() << "the practice site is not built";
    TempHome home;
    const QString machine = home.root() + "/config/machine.ini";
    for (int run = 0; run < 5; ++run) {
        QProcess script;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("GAVELIN_HOME", home.root());
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        script.setProcessEnvironment(environment);
        script.start("/bin/sh",
                     {QStringLiteral(GAVELIN_SOURCE_DIR "/tools/practice-site/try-gavelin.sh"),
                      "--build", build, "--", "--version"});
        ASSERT_TRUE(script.waitForFinished(30000));
        const QString out = QString::fromUtf8(script.readAllStandardOutput());
        ASSERT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();

        const QRegularExpressionMatch site =
            QRegularExpression("Practice site: (http://127\\.0\\.0\\.1:[0-9]+/)").match(out);
        ASSERT_TRUE(site.hasMatch()) << out.toStdString();
        QFile file(machine);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString profile = QString::fromUtf8(file.readAll());
        const QStringList addresses = [&] {
            QStringList list;
            auto it = QRegularExpression("http://127\\.0\\.0\\.1:[^/]*/").globalMatch(profile);
            while (it.hasNext())
                list << it.next().captured();
            return list;
        }();
        ASSERT_FALSE(addresses.isEmpty());
        for (const QString& address : addresses)
            EXPECT_EQ(address, site.captured(1)) << "run " << run;
    }
    // Each run's port file goes with it.
    EXPECT_TRUE(QDir(home.root()).entryList({"practice-site.port*"}, QDir::Files).isEmpty());
}
