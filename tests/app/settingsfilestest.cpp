// gavelind as a real process over a settings file that is not what it should be.

#include "support/temphome.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace {

TEST(SettingsFilesProcess, DamagedMachineIniIsLoggedAtStart)
{
    TempHome home;
    home.writeFile("config/machine.ini", QByteArray("\x00\x01[Sites]\xff", 10));
    const auto log = [&home] {
        QFile file(home.paths().logFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QProcess daemon;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("GAVELIN_HOME", home.root());
    daemon.setProcessEnvironment(environment);
    daemon.start(QStringLiteral(GAVELIN_BINARY_DIR "/src/gavelind"), {});
    ASSERT_TRUE(daemon.waitForStarted(5000));
    QElapsedTimer timer;
    timer.start();
    while (!log().contains("Current site") && timer.elapsed() < 15000)
        QThread::msleep(20);
    daemon.terminate();
    ASSERT_TRUE(daemon.waitForFinished(20000));
    EXPECT_TRUE(log().contains("#") &&
                log().contains("Settings file " +
                               QFile::encodeName(home.paths().machineSettingsFile()) +
                               " is not a settings file"))
        << log().constData();
}

} // namespace
