// Two real gavelind processes meeting over the single-instance socket.

#include "support/temphome.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace {

const QString kDaemon = QStringLiteral(GAVELIN_BINARY_DIR "/src/gavelind");

class HandOverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The engine synchronises its clock at start: keep that on a dead loopback port.
        m_home.writeFile("config/machine.ini",
                         "[Sites]\n"
                         "www.ebay.de_URL_TimeSync=\"http://127.0.0.1:9/TimeShow\"\n"
                         "www.ebay.com_URL_TimeSync=\"http://127.0.0.1:9/TimeShow\"\n");
    }

    std::unique_ptr<QProcess> start(const QStringList& arguments)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("GAVELIN_HOME", m_home.root());
        process->setProcessEnvironment(environment);
        process->start(kDaemon, arguments);
        EXPECT_TRUE(process->waitForStarted(5000));
        return process;
    }

    QByteArray log() const
    {
        QFile file(m_home.paths().logFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    bool waitForLog(const QByteArray& text, int times = 1) const
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 15000) {
            if (log().count(text) >= times)
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    // The running copy has finished start-up once the settings dump is written.
    bool waitForStartUp() const { return waitForLog("Current site"); }

    TempHome m_home;
};

TEST_F(HandOverTest, ExitWithNoRunningCopyEndsAtOnceWithoutLogLines)
{
    auto process = start({"exit"});
    ASSERT_TRUE(process->waitForFinished(5000));
    EXPECT_EQ(process->exitCode(), 0);
    EXPECT_FALSE(QFile::exists(m_home.paths().logFile()));
}

TEST_F(HandOverTest, SecondCopyActivatesTheFirstAndExitClosesIt)
{
    auto first = start({"run"});
    ASSERT_TRUE(waitForStartUp()) << log().constData();
    m_home.writeFile("data/autosave.dat", "crash copy");

    auto second = start({});
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(second->readAllStandardError().startsWith("gavelind: handed over to the copy"));
    EXPECT_TRUE(waitForLog("Another copy was started"));
    EXPECT_EQ(log().count("Log session started successfully."), 1);
    EXPECT_EQ(first->state(), QProcess::Running);

    auto exit = start({"exit"});
    ASSERT_TRUE(exit->waitForFinished(20000));
    ASSERT_TRUE(first->waitForFinished(20000));
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_TRUE(log().endsWith("Log session closed successfully.\r\n\r\n")) << log().constData();
    EXPECT_FALSE(QFile::exists(m_home.paths().autosaveFile()));
    EXPECT_TRUE(QString::fromUtf8(first->readAllStandardError())
                    .startsWith(QStringLiteral("gavelind: data folder %1, log %2\n")
                                    .arg(m_home.paths().dataDir(), m_home.paths().logFile())));
}

TEST_F(HandOverTest, TerminationSignalEndsInOrder)
{
    auto first = start({});
    ASSERT_TRUE(waitForStartUp()) << log().constData();
    first->terminate(); // SIGTERM
    ASSERT_TRUE(first->waitForFinished(20000));
    EXPECT_EQ(first->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first->exitCode(), 0);
    EXPECT_TRUE(log().endsWith("Log session closed successfully.\r\n\r\n")) << log().constData();

    // The socket is free again: a new copy starts as the running one.
    auto again = start({});
    ASSERT_TRUE(waitForLog("Current site", 2));
    again->terminate();
    ASSERT_TRUE(again->waitForFinished(20000));
}

} // namespace
