#include "CommandLine.h"
#include "LinkFakes.h"
#include "Outcome.h"
#include "TerminalViews.h"

#include <QTemporaryFile>
#include <QTest>

#include <cstdio>

// The parts of vantrel-cli that a controller cannot reach: the reading of a download whose ready
// byte came but whose final answer did not, the type names, and the terminal progress line.
class TestCliParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void downloadOutcome_data()
    {
        QTest::addColumn<bool>("ready");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("done") << true << "79"
                              << "1 downloaded files" << 0 << QString();
        QTest::newRow("refused")
            << true << "6E"
            << "0 downloaded files" << 1
            << "An error message has been received from the controller.\r\nError message: 6E";
        QTest::newRow("ready, then silence") << true << "no reply"
                                             << "0 downloaded files" << 2
                                             << "No reply from controller.\r\nError message: "
                                                "no reply";
        QTest::newRow("done without ready byte") << false << "79"
                                                 << "No controller reply" << 2 << QString();
    }
    void downloadOutcome()
    {
        QFETCH(bool, ready);
        QFETCH(QString, reply);
        QFETCH(QString, status);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        AppState state;
        state.ReadyReceived = ready;
        state.ReplyCode = reply;
        RecordingShell shell;
        const Outcome outcome = JudgeDownload(state, shell);
        QCOMPARE(outcome.status, status);
        QCOMPARE(outcome.exitCode, exitCode);
        QCOMPARE(shell.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(shell.messages.front().text, message);
            QCOMPARE(shell.messages.front().title, QStringLiteral("Controller Error Message"));
        }
    }

    void typeNames_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("typeCode");
        QTest::newRow("as shown") << "COLOR 96x64" << 6;
        QTest::newRow("any case") << "oled 52X36" << 4;
        QTest::newRow("without space") << "lcd36x24" << 1;
        QTest::newRow("number") << "5" << 5;
        QTest::newRow("setting code that is no type") << "7" << 0;
        QTest::newRow("part of a name") << "OLED" << 0;
    }
    void typeNames()
    {
        QFETCH(QString, text);
        QFETCH(int, typeCode);
        QCOMPARE(int(TypeCodeFromText(text)), typeCode);
    }

    // A colour picture moves the progress bar 12290 times; the line is drawn once per percent.
    void progressRedrawsPerPercent()
    {
        QTemporaryFile file;
        QVERIFY(file.open());
        std::FILE* stream = std::fopen(qPrintable(file.fileName()), "w");
        QVERIFY(stream);
        ProgressMeter meter(stream);
        meter.setLabel(QStringLiteral("0001"));
        meter.setVisible(true);
        meter.setMaximum(12289);
        for (int value = 0; value <= 12289; ++value)
            meter.setValue(value);
        meter.setVisible(false);
        std::fclose(stream);
        QCOMPARE(meter.redraws(), 101);
        const QByteArray drawn = file.readAll();
        QVERIFY(drawn.contains("\r[##############################] 100%  address 0001"));
        QVERIFY(drawn.endsWith("\r\033[K"));
    }
};

QTEST_GUILESS_MAIN(TestCliParts)
#include "tst_cliparts.moc"
