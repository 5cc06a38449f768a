#include "app/programlog.h"
#include "app/siteclock.h"
#include "support/temphome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

// 2026-03-01 12:34:56 UTC
constexpr qint64 kNoon = 1772368496;

class ProgramLogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
        std::setlocale(LC_TIME, "C");
        m_clock.setTimeSource([this] { return m_now; });
        m_path = m_dir.filePath("qzvt.log");
    }

    QByteArray contents() const
    {
        QFile file(m_path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    QString m_path;
    qint64 m_now = kNoon;
    SiteClock m_clock;
};

TEST_F(ProgramLogTest, LineCarriesMarkerLocalTimeAndCrLf)
{
    ProgramLog log(m_clock);
    ASSERT_TRUE(log.open(m_path));
    EXPECT_EQ(log.write("Bid placed", ProgramLog::Warning), "03/01/26, 12:34:56: Bid placed");
    log.write("a", ProgramLog::Info);
    log.write("b", ProgramLog::Success);
    log.write("c", ProgramLog::Error);
    log.write("d", 7);
    log.write("e", -1);
    EXPECT_EQ(contents(), "!03/01/26, 12:34:56: Bid placed\r\n"
                          "-03/01/26, 12:34:56: a\r\n"
                          "+03/01/26, 12:34:56: b\r\n"
                          "#03/01/26, 12:34:56: c\r\n"
                          "-03/01/26, 12:34:56: d\r\n"
                          "-03/01/26, 12:34:56: e\r\n");
}

TEST_F(ProgramLogTest, SiteTimeAppearsOnceSynchronised)
{
    ProgramLog log(m_clock);
    ASSERT_TRUE(log.open(m_path));
    m_clock.setOffset(-90); // the site is 90 seconds ahead
    EXPECT_EQ(log.write("tick"), "03/01/26, 12:34:56: (12:36:26): tick");
    EXPECT_TRUE(contents().endsWith("-03/01/26, 12:34:56: (12:36:26): tick\r\n"));
}

TEST_F(ProgramLogTest, EmptyTextWritesNothing)
{
    ProgramLog log(m_clock);
    ASSERT_TRUE(log.open(m_path));
    EXPECT_TRUE(log.write(QString()).isEmpty());
    EXPECT_TRUE(log.message(QString(), ProgramLog::Error).isEmpty());
    EXPECT_TRUE(contents().isEmpty());
}

TEST_F(ProgramLogTest, AppendsAcrossRunsAndRotatesPastTheLimit)
{
    {
        ProgramLog log(m_clock);
        ASSERT_TRUE(log.open(m_path, 1000));
        log.write("first run");
    }
    {
        ProgramLog log(m_clock);
        ASSERT_TRUE(log.open(m_path, 1000));
        log.write("second run");
    }
    EXPECT_TRUE(contents().contains("first run") && contents().contains("second run"));
    EXPECT_FALSE(QFile::exists(ProgramLog::previousLogPath(m_path)));

    // Exactly at the limit stays; one byte past it becomes the previous log.
    QFile file(m_path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray(1001, 'x'));
    file.close();
    QFile::remove(ProgramLog::previousLogPath(m_path));
    {
        ProgramLog log(m_clock);
        ASSERT_TRUE(log.open(m_path, 1001));
    }
    EXPECT_EQ(QFileInfo(m_path).size(), 1001);
    {
        ProgramLog log(m_clock);
        ASSERT_TRUE(log.open(m_path, 1000));
        log.write("Log session started successfully.", ProgramLog::Success);
    }
    EXPECT_EQ(QFileInfo(ProgramLog::previousLogPath(m_path)).size(), 1001);
    EXPECT_TRUE(
        contents().startsWith("+03/01/26, 12:34:56: Log session started successfully.\r\n"));
}

TEST_F(ProgramLogTest, UnwritableFolderDisablesLoggingButLinesStillReturn)
{
    ProgramLog log(m_clock);
    EXPECT_FALSE(log.open(m_dir.filePath("missing/folder/qzvt.log")));
    EXPECT_FALSE(log.isOpen());
    EXPECT_EQ(log.write("still shown"), "03/01/26, 12:34:56: still shown");
}

TEST_F(ProgramLogTest, ConcurrentWritersNeverInterleaveLines)
{
    ProgramLog log(m_clock);
    ASSERT_TRUE(log.open(m_path, 100 * 1024 * 1024));
    constexpr int kThreads = 8;
    constexpr int kLines = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&log, t] {
            const QString text = QString("thread %1 ").arg(t) + QString(200, QChar('a' + t));
            for (int i = 0; i < kLines; ++i)
                log.write(text, t % 4);
        });
    }
    for (auto& thread : threads)
        thread.join();
    const QList<QByteArray> lines = contents().split('\n');
    ASSERT_EQ(lines.size(), kThreads * kLines + 1);
    for (int i = 0; i < kThreads * kLines; ++i) {
        const QByteArray& line = lines.at(i);
        ASSERT_TRUE(line.endsWith('\r'));
        const int thread = line.at(line.indexOf("thread ") + 7) - '0';
        EXPECT_TRUE(line.contains(QByteArray(200, char('a' + thread)) + '\r')) << line.constData();
    }
}

} // namespace
