#include "AppState.h"
#include "AttributeRun.h"
#include "LinkFakes.h"

#include <QRegularExpression>
#include <QTest>

namespace {

// Each row's states as letters, in the order AttributeRowState declares them: W(aiting),
// S(ending), C(onfirmed), R(efused), N(o reply), X (not ready), F(ailed).
class RecordingRunView : public AttributeRunView
{
public:
    void showRowState(int row, AttributeRowState state) override
    {
        states[row] += QLatin1Char("WSCRNXF"[int(state)]);
    }

    QMap<int, QString> states;
};

const QList<AttributeJob> TwoRows{{"a.bmp", "0001", "*000100010002000300FF"},
                                  {"b.bmp", "0002", "*000200010002000300FF"}};

} // namespace

// The batch attribute run against a scripted controller: retries, the failure message, a blocked
// line, and a silent controller with and without reply checking.
class TestAttributeRun : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QTest::failOnWarning(QRegularExpression(QStringLiteral("."))); }

    void retries_data()
    {
        // Per write, in order; "" is silence, "blocked" a line that takes nothing from then on.
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("controllerCheck");
        QTest::addColumn<QString>("firstRow");
        QTest::addColumn<int>("downloaded");
        QTest::addColumn<QString>("failure"); // how the message names the first row's end
        const QString failed = "failed to download to address 0001.";
        QTest::newRow("6E five times then 79")
            << QStringList{"an", "an", "an", "an", "an", "ay", "ay"} << 1 << "SRSRSRSRSRSC" << 2
            << "";
        QTest::newRow("a sixth 6E ends the run")
            << QStringList(6, "an") << 1 << "SRSRSRSRSRSRF" << 0 << failed;
        QTest::newRow("silent controller, replies checked")
            << QStringList(6, "") << 1 << "SXSXSXSXSXSXF" << 0 << failed;
        QTest::newRow("silent controller, replies not checked: rows passed over")
            << QStringList(2, "") << 0 << "SX" << 0 << "";
        QTest::newRow("ready then silence is a failed attempt")
            << QStringList{"a", "ay", "ay"} << 1 << "SNSC" << 2 << "";
        // Sent again, the row would only queue behind a line that takes nothing.
        QTest::newRow("a blocked line ends the run at once")
            << QStringList{"blocked"} << 1 << "SF" << 0
            << "were not sent to address 0001: The line was blocked for 5 s; 0 of 21 characters "
               "sent.";
    }
    void retries()
    {
        QFETCH(QStringList, answers);
        QFETCH(int, controllerCheck);
        QFETCH(QString, failure);
        const bool failed = !failure.isEmpty();
        LinkRig rig;
        rig.catalog.addPort(QStringLiteral("/dev/fake1"), QString(),
                            [] { return std::make_unique<ScriptedPort>(); });
        rig.state.RequestedPort = 1;
        rig.link.setPortNumber(1);
        QVERIFY(rig.link.OpenPort());
        auto* port = static_cast<ScriptedPort*>(rig.catalog.port(1));
        rig.state.ControllerCheckFlag = controllerCheck;
        const qsizetype writes = answers.size(); // each answer is used by one write
        port->responder = [&answers, port](const QByteArray& bytes) {
            if (!answers.isEmpty() && answers.first() == "blocked")
                port->queued += bytes.size();
            return answers.isEmpty() || port->queued > 0 ? QByteArray()
                                                         : answers.takeFirst().toLatin1();
        };
        RecordingRunView view;
        AttributeRun run(rig.link, view);
        run.DownloadRows(TwoRows);

        QCOMPARE(port->writes.size(), writes);
        QTEST(view.states.value(1), "firstRow");
        QTEST(run.downloadedCount(), "downloaded");
        // Rows after a failed one are not sent.
        QCOMPARE(view.states.contains(2), !failed);
        QCOMPARE(rig.shell.shown(),
                 failed ? QStringList{"Download Attributes Message: Error while downloading image "
                                      "attributes.\r\na.bmp attributes " +
                                      failure}
                        : QStringList());
        QCOMPARE(rig.state.CancelFlag, failed);
        QCOMPARE(rig.screen.currentAddress, QString());
    }
};

QTEST_MAIN(TestAttributeRun)
#include "tst_attributerun.moc"
