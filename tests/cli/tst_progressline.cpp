#include "TerminalViews.h"

#include <QTemporaryFile>
#include <QTest>

#include <cstdio>

// The terminal progress line, which the tests of the program itself cannot see: standard error is
// no terminal there.
class TestProgressLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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

QTEST_GUILESS_MAIN(TestProgressLine)
#include "tst_progressline.moc"
