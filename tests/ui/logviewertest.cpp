// The log viewer: only the current run, colours by level without the marker, text that is
// shown as text, an unreadable log, and the window's stored place.

#include "ui/logviewer.h"
#include "promptrecorder.h"
#include "support/apphome.h"

#include <QFile>
#include <QTextBrowser>
#include <QtTest>

class LogViewerTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_home = std::make_unique<AppHome>(); }
    void cleanup() { m_home.reset(); }

    void onlyTheLastRunIsShown()
    {
        const QStringList lines = {"+1.1.26, 10:00:00: Log session started successfully.",
                                   "-first run",
                                   "+1.1.26, 11:00:00: Log session started successfully.",
                                   "-second run",
                                   "+1.1.26, 12:00:00: Log session started successfully.",
                                   "-third run",
                                   ""};
        const QString html = CLogViewer::currentRunHtml(lines);
        QVERIFY(!html.contains("first run"));
        QVERIFY(!html.contains("second run"));
        QVERIFY(html.contains("12:00:00"));
        QVERIFY(html.contains("third run"));
        QVERIFY(!html.contains("11:00:00"));
    }

    void theMarkerChoosesTheColourAndIsNotShown()
    {
        const QString html = CLogViewer::currentRunHtml(
            {"-info", "+good", "!careful", "#broken: <b>&", "continued line"});
        QVERIFY(html.contains("<font color=gray>info</font><br>"));
        QVERIFY(html.contains("<font color=green>good</font><br>"));
        QVERIFY(html.contains("<font color=navy>careful</font><br>"));
        // A page's text in a log line is shown as it is, never as markup.
        QVERIFY(html.contains("<font color=red>broken: &lt;b&gt;&amp;</font><br>"));
        // A line of a text with line breaks keeps its first letter and the colour before it.
        QVERIFY(html.contains("<font color=red>continued line</font><br>"));
    }

    void theViewerReadsTheRunningLog()
    {
        AppContext& app = m_home->app();
        app.log().write(QStringLiteral("Log session started successfully."), ProgramLog::Success);
        app.log().write(QStringLiteral("Bid failed"), ProgramLog::Error);
        CLogViewer viewer(app);
        QVERIFY(viewer.reload());
        const QString text = viewer.view()->toPlainText();
        QVERIFY(text.contains("Bid failed"));
        QVERIFY(!text.startsWith('+'));
    }

    void anUnreadableLogIsReportedAndNothingShown()
    {
        AppContext& app = m_home->app();
        app.log().close();
        QFile::remove(app.paths().logFile());
        PromptRecorder prompts;
        CLogViewer viewer(app);
        QVERIFY(!viewer.reload());
        QCOMPARE(prompts.texts().size(), 1);
        QVERIFY(!prompts.texts().first().isEmpty());
        QVERIFY(viewer.view()->toPlainText().isEmpty());
    }

    void thePlaceIsKeptInTheLogSection()
    {
        AppContext& app = m_home->app();
        {
            CLogViewer viewer(app);
            viewer.setGeometry(30, 40, 500, 300);
            viewer.show();
            QVERIFY(QTest::qWaitForWindowExposed(&viewer));
            viewer.close();
        }
        QCOMPARE(app.userRegistry().readInt("Log", "Width", -1), 500);
        QCOMPARE(app.userRegistry().readInt("Log", "Height", -1), 300);
        CLogViewer again(app);
        QCOMPARE(again.size(), QSize(500, 300));
    }

    void aDamagedPlaceGivesTheDefault()
    {
        AppContext& app = m_home->app();
        app.settings().logLeft = 10;
        app.settings().logTop = 10;
        app.settings().logWidth = 3;
        app.settings().logHeight = 100000;
        CLogViewer viewer(app);
        QVERIFY(viewer.width() > 100);
    }

private:
    std::unique_ptr<AppHome> m_home;
};

QTEST_MAIN(LogViewerTest)
#include "logviewertest.moc"
