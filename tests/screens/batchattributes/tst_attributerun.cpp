#include "AppState.h"
#include "AttributeRun.h"
#include "LinkFakes.h"

#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace {

class RecordingRunView : public AttributeRunView
{
public:
    void showRowState(int row, AttributeRowState state) override { states[row] << state; }
    void rowFinished(int row, ReplyOutcome outcome) override
    {
        finished << qMakePair(row, outcome);
    }

    QMap<int, QList<AttributeRowState>> states;
    QList<QPair<int, ReplyOutcome>> finished;
};

using S = AttributeRowState;

} // namespace

// The batch attribute run against a scripted controller: retries, the failure message, a silent
// controller with and without reply checking, and Cancel during the reply wait.
class TestAttributeRun : public QObject
{
    Q_OBJECT

    std::unique_ptr<LinkRig> rig;
    ScriptedPort* port = nullptr;
    RecordingRunView view;

    QList<AttributeJob> twoRows() const
    {
        return {{"a.bmp", "0001", "*000100010002000300FF"},
                {"b.bmp", "0002", "*000200010002000300FF"}};
    }

private Q_SLOTS:
    void init()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        rig = std::make_unique<LinkRig>();
        rig->catalog.addPort(QStringLiteral("/dev/fake1"), QString(),
                             [] { return std::make_unique<ScriptedPort>(); });
        rig->state.RequestedPort = 1;
        rig->link.setPortNumber(1);
        QVERIFY(rig->link.OpenPort());
        port = static_cast<ScriptedPort*>(rig->catalog.port(1));
        view = RecordingRunView();
    }
    void cleanup() { rig.reset(); }

    void retries_data()
    {
        QTest::addColumn<QStringList>("answers"); // per write, in order; "" is silence
        QTest::addColumn<int>("controllerCheck");
        QTest::addColumn<int>("writes");
        QTest::addColumn<QList<AttributeRowState>>("firstRow");
        QTest::addColumn<int>("downloaded");
        QTest::addColumn<QString>("message");
        const QString failure = QStringLiteral("Error while downloading image attributes.\r\n"
                                               "a.bmp attributes failed to download to address "
                                               "0001.");
        QList<AttributeRowState> fiveRefusals;
        for (int i = 0; i < 5; ++i)
            fiveRefusals << S::Sending << S::Refused;
        QTest::newRow("6E five times then 79")
            << QStringList{"an", "an", "an", "an", "an", "ay", "ay"} << 1 << 7
            << fiveRefusals + QList<AttributeRowState>{S::Sending, S::Confirmed} << 2 << QString();
        QTest::newRow("a sixth 6E ends the run")
            << QStringList(6, "an") << 1 << 6
            << fiveRefusals + QList<AttributeRowState>{S::Sending, S::Refused, S::Failed} << 0
            << failure;
        QTest::newRow("silent controller, replies checked")
            << QStringList(6, "") << 1 << 6
            << QList<AttributeRowState>{S::Sending, S::NotReady, S::Sending, S::NotReady,
                                        S::Sending, S::NotReady, S::Sending, S::NotReady,
                                        S::Sending, S::NotReady, S::Sending, S::NotReady,
                                        S::Failed}
            << 0 << failure;
        QTest::newRow("silent controller, replies not checked: rows passed over")
            << QStringList(2, "") << 0 << 2 << QList<AttributeRowState>{S::Sending, S::NotReady}
            << 0 << QString();
        QTest::newRow("ready then silence is a failed attempt")
            << QStringList{"a", "ay", "ay"} << 1 << 3
            << QList<AttributeRowState>{S::Sending, S::NoReply, S::Sending, S::Confirmed} << 2
            << QString();
    }
    void retries()
    {
        QFETCH(QStringList, answers);
        QFETCH(int, controllerCheck);
        QFETCH(int, writes);
        QFETCH(QList<AttributeRowState>, firstRow);
        QFETCH(int, downloaded);
        QFETCH(QString, message);
        rig->state.ControllerCheckFlag = controllerCheck;
        port->responder = [&answers](const QByteArray&) {
            return answers.isEmpty() ? QByteArray() : answers.takeFirst().toLatin1();
        };
        AttributeRun run(rig->link, view);
        run.DownloadRows(twoRows());

        QCOMPARE(port->writes.size(), writes);
        QCOMPARE(port->writes.first(), twoRows().first().command);
        QCOMPARE(view.states.value(1), firstRow);
        QCOMPARE(run.downloadedCount(), downloaded);
        QCOMPARE(rig->shell.messageTexts(),
                 message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(rig->state.CancelFlag, !message.isEmpty());
        if (!message.isEmpty()) {
            QCOMPARE(rig->shell.messages.first().title, QString("Download Attributes Message"));
            QCOMPARE(rig->shell.messages.first().icon, MessageIcon::None);
            QVERIFY(!view.states.contains(2)); // rows after a failed one are not sent
        }
        QCOMPARE(rig->screen.currentAddress, QString());
    }

    void cancelDuringReplyWait()
    {
        int writes = 0;
        port->responder = [this, &writes](const QByteArray&) {
            // Cancel pressed while the second row waits for its answer.
            if (++writes == 2)
                QTimer::singleShot(0, &rig->link, [this] { rig->link.requestCancel(); });
            return writes == 1 ? QByteArray("ay") : QByteArray();
        };
        AttributeRun run(rig->link, view);
        run.DownloadRows(twoRows() + twoRows());
        QCOMPARE(port->writes.size(), 2);
        QCOMPARE(run.downloadedCount(), 1);
        QVERIFY(rig->shell.messages.isEmpty());
        QCOMPARE(view.states.value(2), QList<AttributeRowState>{S::Sending});
        QVERIFY(rig->screen.log.startsWith("\r\n"));
    }
};

QTEST_MAIN(TestAttributeRun)
#include "tst_attributerun.moc"
