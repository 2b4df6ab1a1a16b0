#include "AppFixture.h"
#include "TrafficLogView.h"
#include "WorkArea.h"

#include <QAbstractItemView>
#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>

#include <memory>

// The main window and the link controls of the single picture screen, driven as the operator
// drives them, against a scripted port that answers like a controller.
class TestMainForm : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<AppState> state;
    std::unique_ptr<PortCatalog> catalog;
    std::unique_ptr<ScriptedUiSeam> seam;
    std::unique_ptr<ProgramWindow> form;

    ScriptedPort* port(int n) { return static_cast<ScriptedPort*>(catalog->port(n)); }
    // The window started on `ports` scripted ports.
    void startForm(int ports = 1)
    {
        for (int n = 1; n <= ports; ++n) {
            catalog->addPort(QStringLiteral("/dev/fake%1").arg(n), "test port",
                             [] { return std::make_unique<ScriptedPort>(); });
        }
        form = MakeProgramWindow(*state, *catalog, *seam, folder->path());
        QVERIFY(form->start());
    }
    template <typename T> T* find(const char* name) { return Child<T>(form.get(), name); }
    // (text, colour) runs of the traffic log as the operator sees them.
    QList<QPair<QString, QRgb>> logRuns()
    {
        auto* log = find<TrafficLogView>("txtControllerFeedback");
        log->flush();
        QList<QPair<QString, QRgb>> runs;
        for (QTextBlock block = log->document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                runs.append({f.text(), f.charFormat().foreground().color().rgb()});
            }
        }
        return runs;
    }

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        FailOnQtWarnings();
        folder = std::make_unique<QTemporaryDir>();
        state = std::make_unique<AppState>();
        catalog = std::make_unique<PortCatalog>();
        seam = std::make_unique<ScriptedUiSeam>();
    }
    void cleanup()
    {
        seam->verifyNothingLeft(form.get());
        form.reset();
        catalog.reset();
    }

    void startupWithoutPortsEndsProgram()
    {
        form = MakeProgramWindow(*state, *catalog, *seam, folder->path());
        QVERIFY(!form->start());
        QVERIFY(form->hasEnded());
        QVERIFY(!form->isVisible());
        QCOMPARE(seam->messages.at(0).icon, MessageIcon::Exclamation);
        QCOMPARE(seam->takeShown(), QStringList("No Available Comm Ports: Program cannot find any "
                                                "available Comm Ports.\r\nPlease close a Comm Port "
                                                "and try again.\r\nClosing program."));
    }

    // The start screen takes over the first port at 57600 and says so.
    void startupOpensFirstPort()
    {
        startForm(2);
        auto* single = find<QWidget>("frmSinglePicture");
        QCOMPARE(single->windowTitle(), QString("Single Picture Download"));
        QVERIFY(single->isVisible());
        QCOMPARE(find<QComboBox>("cmbPortSpeed")->currentText(), QString("57600"));
        QCOMPARE(find<QLineEdit>("txtDownloadPortStatus")->text(),
                 QString(" Communication port COM1 is open."));
        QVERIFY(port(1)->isOpen());
        QCOMPARE(port(1)->baudRate, 57600);
    }

    void manualCommandTraffic()
    {
        startForm();
        port(1)->answer = "ay";
        auto* box = find<QPlainTextEdit>("txtManualCommand");
        box->setFocus();
        QTest::keyClicks(box, "26 52 58");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(port(1)->writes, QList<QByteArray>{QByteArray("&RX")});
        QCOMPARE(form->panelText(2), QString("Command Sent"));
        QTRY_COMPARE(state->ReplyCode, QString("79"));
        QCOMPARE(logRuns(), (QList<QPair<QString, QRgb>>{{"26 52 58    ", qRgb(0, 0, 255)},
                                                         {"61 79 ", qRgb(0, 0, 0)}}));
        // The Send button sends the box's text as it stands.
        box->setPlainText("HELLO");
        QTest::mouseClick(find<QPushButton>("cmdSendManualCommand"), Qt::LeftButton);
        QCOMPARE(port(1)->writes.last(), QByteArray("HELLO"));
        // Enter on a line already sent sends it again and adds one line break only.
        box->clear();
        QTest::keyClicks(box, "01");
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(port(1)->writes.mid(2), (QList<QByteArray>{"\x01", "\x01"}));
        QCOMPARE(box->toPlainText(), QString("01\n"));
        QTest::keyClicks(box, "2");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(box->toPlainText(), QString("01\n2\n"));
        QCOMPARE(seam->takeShown(),
                 QStringList("Manual Command Message: Hex input must be even number of nibbles."));
    }

    // The reply file starts afresh in each run, then collects every look; a viewer that cannot
    // start is reported.
    void controllerFeedbackStartsAfreshThenAppends()
    {
        const QString path = folder->path() + "/Controller Reply.txt";
        QVERIFY(WriteFile(path, "from an earlier run\n"));
        startForm();
        auto* feedback = find<QAction>("mnuControllerFeedback");
        state->ReplyLog = "61 79 ";
        feedback->trigger();
        state->ReplyLog = "6E ";
        feedback->trigger();
        QCOMPARE(ReadFile(path), QByteArray("61 79 \n6E \n"));
        QCOMPARE(seam->viewed, (QStringList{path, path}));
        QVERIFY(state->ReplyLog.isEmpty());
        seam->viewerResult = {false, 31, "No application is associated with this file."};
        feedback->trigger();
        QCOMPARE(seam->takeShown(), QStringList("Unknown Error: Error with ShellExecute\r\n31 No "
                                                "application is associated with this file."));
    }

    // Quit and closing the window end the program at once, unless a transfer runs: then the
    // operator is asked first.
    void quitAsksOnlyWhileWorkRuns_data()
    {
        QTest::addColumn<bool>("quitButton");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<bool>("ends");
        QTest::newRow("Quit, idle") << true << false << MessageAnswer::Ok << true;
        QTest::newRow("close, idle") << false << false << MessageAnswer::Ok << true;
        QTest::newRow("close, busy, No") << false << true << MessageAnswer::No << false;
    }
    void quitAsksOnlyWhileWorkRuns()
    {
        QFETCH(bool, quitButton);
        QFETCH(bool, busy);
        QFETCH(MessageAnswer, answer);
        QFETCH(bool, ends);
        startForm();
        state->BusyFlag = busy;
        if (busy)
            seam->answers = {answer};
        if (quitButton)
            QTest::mousePress(find<QPushButton>("cmbQuit"), Qt::LeftButton);
        else
            form->close();
        QCOMPARE(seam->takeShown(), busy ? QStringList{"Quit: A transfer to the controller is "
                                                       "running.\r\nStop it and quit?"}
                                         : QStringList());
        QCOMPARE(form->isVisible(), !ends);
        QCOMPARE(state->CancelFlag, ends);
        QCOMPARE(state->StopTransferFlag, ends);
        QCOMPARE(port(1)->isOpen(), !ends);
        state->BusyFlag = false;
        form->close();
    }

    // Every screen's port list names each device and follows adapters plugged in and pulled out;
    // numbers stay with their devices and the open port is left alone.
    void portListFollowsAdapters()
    {
        startForm();
        find<QAction>("mnuBatchPictures")->trigger();
        FakePortEnumerator system;
        form->watchPorts(system, std::chrono::milliseconds(10));
        const SystemPort uart{"/dev/ttyUSB0", "FT232R USB UART", "0403:6001", "FT232R"};
        const SystemPort modem{"/dev/ttyACM0", "USB CDC", "", "USB CDC"};
        const QString fake = "1  /dev/fake1  test port";
        const QString uartText = "2  /dev/ttyUSB0  FT232R USB UART  0403:6001";
        const QString other = "Other device...";
        const QList<QPair<QList<SystemPort>, QStringList>> steps{
            {{uart}, {fake, uartText, other}},
            {{}, {fake, "2  /dev/ttyUSB0  (unplugged)", other}},
            {{modem, uart}, {fake, uartText, "3  /dev/ttyACM0  USB CDC", other}},
        };
        const QList<QComboBox*> combos = form->findChildren<QComboBox*>("cmbCommPort");
        QCOMPARE(combos.size(), 2);
        const int opensBefore = port(1)->openCount;
        for (const auto& [plugged, texts] : steps) {
            system.plugged = plugged;
            for (const QComboBox* combo : combos) {
                QTRY_COMPARE(ColumnTexts(combo->model()), texts);
                QCOMPARE(combo->currentData().toInt(), 1);
            }
        }
        QCOMPARE(port(1)->openCount, opensBefore);
        QVERIFY(port(1)->isOpen());
        // The drop-down shows whole names however narrow the box is.
        QComboBox* combo = combos.first();
        // The offscreen platform has no window stack and no keyboard to hand to a popup.
        QTest::ignoreMessage(QtWarningMsg, "This plugin does not support raise()");
        QTest::ignoreMessage(QtWarningMsg, "This plugin does not support grabbing the keyboard");
        combo->showPopup();
        QVERIFY(combo->view()->width() >= combo->fontMetrics().horizontalAdvance(uartText));
        combo->hidePopup();
    }

    void portChangeIgnoredWhileBusy()
    {
        startForm(2);
        state->BusyFlag = true;
        auto* combo = find<QComboBox>("cmbCommPort");
        Activate(combo, 1);
        QVERIFY(port(1)->isOpen());
        QCOMPARE(state->RequestedPort, qint16(1));
        QCOMPARE(combo->currentData().toInt(), 1);
        state->BusyFlag = false;
        Activate(combo, 1);
        QVERIFY(port(2)->isOpen());
        QVERIFY(!port(1)->isOpen());
        // The status field is read-only to the operator: typing over it is undone.
        auto* status = find<QLineEdit>("txtDownloadPortStatus");
        QFocusEvent in(QEvent::FocusIn), out(QEvent::FocusOut);
        QCoreApplication::sendEvent(status, &in);
        status->setText("typed over");
        QCoreApplication::sendEvent(status, &out);
        QCOMPARE(status->text(), QString(" Communication port COM2 is open."));
    }

    void trafficLogStartsAfreshPastLimit()
    {
        startForm();
        auto* log = find<TrafficLogView>("txtControllerFeedback");
        for (int i = 0; i < 700; ++i)
            log->append("\r\n", TrafficDirection::Sent);
        log->flush();
        QTRY_VERIFY(log->toPlainText().isEmpty());
    }

    // Twips: a work area no wider (or higher) than the largest window is filled to nine tenths
    // from its edge; a larger one leaves the window where it was, at the largest size.
    void workArea()
    {
        const QRect window(3000, 2000, 5000, 4000);
        QCOMPARE(FitToWorkArea(QRect(600, 300, 11000, 20000), window),
                 QRect(600, 2000, 9900, 10005));
        QCOMPARE(FitToWorkArea(QRect(600, 300, 13000, 20000), window),
                 QRect(3000, 2000, 12000, 10005));
        QCOMPARE(FitToWorkArea(QRect(0, 450, 20000, 9000), window), QRect(3000, 450, 12000, 8100));
    }
};

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
