#include "Encoders.h"
#include "FileClassification.h"
#include "PtyServer.h"
#include "Transfer.h"
#include "VirtualController.h"

#include "ControllerQuery.h"
#include "Conversions.h"
#include "Decoders.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// vantrel-cli as an operator's script runs it: a separate process without a screen, judged by
// its exit status, standard output and standard error. The controller is either the built-in one
// (--port sim) or one this test serves on a pseudo-terminal, so what it stored can be inspected.
class TestCli : public QObject
{
    Q_OBJECT

    struct CliRun
    {
        int exitCode = -1; // -1: crashed
        QString out;
        QString err;
    };

    static constexpr int RunLimitMs = 60000;

    QTemporaryDir m_files;
    QStringList m_samples; // paths of the sample pictures built into the program
    std::unique_ptr<VirtualController> m_controller;
    std::unique_ptr<PtyServer> m_server;

    static void start(QProcess& process, const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VANTREL_CLI_PATH), arguments);
    }

    // Waits for the end while this process keeps serving the pseudo-terminal.
    static bool finish(QProcess& process, CliRun& run)
    {
        QSignalSpy finished(&process, &QProcess::finished);
        if (process.state() != QProcess::NotRunning && !finished.wait(RunLimitMs)) {
            process.kill();
            process.waitForFinished();
            return false;
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        run.err = QString::fromLocal8Bit(process.readAllStandardError());
        return true;
    }

    static bool runCli(const QStringList& arguments, CliRun& run)
    {
        QProcess process;
        start(process, arguments);
        return finish(process, run);
    }

    QStringList onPty(const QStringList& arguments) const
    {
        return QStringList{QStringLiteral("--port"), m_server->devicePath()} + arguments;
    }

    // The first sample picture of a display type.
    QString sampleOf(qint16 typeCode) const
    {
        for (const QString& path : m_samples) {
            if (ClassifyLength(QFileInfo(path).size()).TypeCode == typeCode)
                return path;
        }
        return QString();
    }

    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        const QString path = m_files.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return QString();
        return path;
    }

    // What the controller should store for a picture file, as the encoders make it.
    static QByteArray expectedPayload(const QString& path, qint16 typeCode)
    {
        BitmapImage image;
        if (!ReadBitmap(path, typeCode, image))
            return QByteArray();
        QString digits = PictureHexText(typeCode, image, true);
        if (typeCode == SwitchTypeCode::Lcd36x24)
            digits = Lcd36x24PictureBlock(digits, QStringLiteral("3"), QStringLiteral("A"));
        return QByteArray::fromHex(digits.toLatin1());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        const QDir samples(QStringLiteral(":/samples"));
        for (const QString& name : samples.entryList(QDir::Files)) {
            const QString path = m_files.filePath(name);
            QVERIFY(QFile::copy(samples.filePath(name), path));
            m_samples << path;
        }
        for (qint16 type = SwitchTypeCode::Lcd36x24; type <= SwitchTypeCode::Color96x64; ++type)
            QVERIFY2(!sampleOf(type).isEmpty(), "a sample picture of every display type");
    }

    void init()
    {
        m_controller = std::make_unique<VirtualController>();
        m_server = std::make_unique<PtyServer>(*m_controller);
        QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
    }

    void cleanup()
    {
        m_server.reset();
        m_controller.reset();
    }

    void helpListsCommandsAndOptions()
    {
        CliRun run;
        QVERIFY(runCli({QStringLiteral("--help")}, run));
        QCOMPARE(run.exitCode, 0);
        for (const char* word : {"ports", "query", "send HEX", "download FILE --address A",
                                 "clear --address A --type T", "upload --address A --type T",
                                 "text FILE --as chars|hex", "--port", "--speed", "--identifier",
                                 "--type", "--output", "COLOR 96x64", "3 usage"})
            QVERIFY2(run.out.contains(QLatin1String(word)), word);
    }

    void portsAreNumberedWithDevices()
    {
        CliRun run;
        QVERIFY(runCli({QStringLiteral("ports")}, run));
        QCOMPARE(run.exitCode, 0);
        QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.takeLast(), QStringLiteral("sim: built-in virtual controller"));
        static const QRegularExpression numbered(QStringLiteral("^COM([1-9]|1[0-6]): \\S+"));
        for (const QString& line : lines)
            QVERIFY2(numbered.match(line).hasMatch(), qPrintable(line));
    }

    // A controller that reads at the line's own pace behind a pseudo-terminal, which takes every
    // write at once and shows no queue (as a USB adapter hides its chip): the picture of every
    // type and an attribute record still end "79", each sent once.
    void linePacedTransfers_data()
    {
        QTest::addColumn<qint32>("speed");
        QTest::addColumn<int>("typeCode");
        for (qint32 speed : {9600, 57600, 115200}) {
            for (qint16 type = SwitchTypeCode::Lcd36x24; type <= SwitchTypeCode::Color96x64; ++type)
                QTest::addRow("%d %s", speed, qPrintable(ControllerSettingText(type)))
                    << speed << int(type);
        }
    }
    void linePacedTransfers()
    {
        QFETCH(qint32, speed);
        QFETCH(int, typeCode);
        m_server->setLineSpeed(speed);
        const QStringList line{QStringLiteral("--speed"), QString::number(speed)};
        CliRun run;
        QVERIFY(
            runCli(onPty(line + QStringList{QStringLiteral("download"), sampleOf(qint16(typeCode)),
                                            QStringLiteral("--address"), QStringLiteral("1")}),
                   run));
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, QStringLiteral("Reply: 79\n1 downloaded files\n"));
        QCOMPARE(run.exitCode, 0);
        // MONO 96x64 records are 28 digits, the others 16.
        const QString digits = QStringLiteral("0123456789abcdef0123456789ab")
                                   .left(typeCode == SwitchTypeCode::Mono96x64 ? 28 : 16);
        QVERIFY(
            runCli(onPty(line + QStringList{QStringLiteral("attributes"), digits,
                                            QStringLiteral("--address"), QStringLiteral("1"),
                                            QStringLiteral("--type"), QString::number(typeCode)}),
                   run));
        QCOMPARE(run.out, QStringLiteral("Reply: 79\nAttributes downloaded\n"));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(m_controller->counters().picturesStored, 1);
        QCOMPARE(m_controller->counters().attributeRecords, 1);
        QVERIFY(m_controller->receivedBytes().contains((typeCode <= 2   ? "*01"
                                                        : typeCode == 5 ? "*U0001"
                                                                        : "*0001") +
                                                       digits.toUpper().toLatin1()));
    }

    void pictureArrivesByteExact_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<bool>("identifier");
        for (qint16 type = SwitchTypeCode::Lcd36x24; type <= SwitchTypeCode::Color96x64; ++type) {
            const QString name = ControllerSettingText(type);
            QTest::newRow(qPrintable(name)) << int(type) << false;
            QTest::newRow(qPrintable(name + QStringLiteral(" with identifier")))
                << int(type) << true;
        }
    }
    void pictureArrivesByteExact()
    {
        QFETCH(int, typeCode);
        QFETCH(bool, identifier);
        const QString path = sampleOf(qint16(typeCode));
        QStringList arguments{QStringLiteral("download"),  path,
                              QStringLiteral("--address"), QStringLiteral("7"),
                              QStringLiteral("--led-off"), QStringLiteral("3"),
                              QStringLiteral("--led-on"),  QStringLiteral("a")};
        if (identifier)
            arguments << QStringLiteral("--identifier");
        CliRun run;
        QVERIFY(runCli(onPty(arguments), run));
        QCOMPARE(run.exitCode, 0);

        const QString address = PadAddress(QStringLiteral("7"), AddressWidth(qint16(typeCode)));
        QVERIFY(m_controller->receivedBytes().startsWith(
            TransferHeader(qint16(typeCode), identifier, address)));
        const std::optional<StoredPicture> stored = m_controller->picture(7, qint16(typeCode));
        QVERIFY(stored);
        QCOMPARE(stored->payload, expectedPayload(path, qint16(typeCode)));
    }

    void outcomes_data()
    {
        QTest::addColumn<Misbehaviour>("misbehaviour");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QStringList download{QStringLiteral("download"), QStringLiteral("%lcd64"),
                                   QStringLiteral("--address"), QStringLiteral("1")};
        const QStringList clear{QStringLiteral("clear"), QStringLiteral("--address"),
                                QStringLiteral("2A"), QStringLiteral("--type"),
                                QStringLiteral("COLOR 96x64")};
        const QString refusedText =
            QStringLiteral("Controller Error Message: An error message has been received from "
                           "the controller.\nError message: 6E\n");
        QTest::newRow("download done")
            << Misbehaviour::None << download << 0 << "Reply: 79\n1 downloaded files\n"
            << QString();
        QTest::newRow("download refused")
            << Misbehaviour::RefuseAll << download << 1 << "Reply: 6E\n0 downloaded files\n"
            << refusedText;
        QTest::newRow("download to a silent controller")
            << Misbehaviour::Silent << download << 2 << "Reply: no reply\nNo controller reply\n"
            << QString();
        QTest::newRow("download without ready byte")
            << Misbehaviour::NoReady << download << 2 << "Reply: 79\nNo controller reply\n"
            << QString();
        // A long picture, so the late ready byte still comes while the data are being sent.
        QStringList colour = download;
        colour[1] = QStringLiteral("%colour");
        QTest::newRow("download answered late")
            << Misbehaviour::Late << colour << 2 << "Reply: no reply\n0 downloaded files\n"
            << "Controller Error Message: No reply from controller.\nError message: no reply\n";
        QTest::newRow("clear done")
            << Misbehaviour::None << clear << 0 << "Reply: 79\nAddress 002A Clear\n"
            << QString();
        QTest::newRow("clear refused")
            << Misbehaviour::RefuseAll << clear << 1 << "Reply: 6E\nAddress not cleared\n"
            << refusedText;
        QTest::newRow("clear done without ready byte")
            << Misbehaviour::NoReady << clear << 2 << "Reply: 79\nNo controller reply\n"
            << QString();
        QTest::newRow("clear on a silent controller")
            << Misbehaviour::Silent << clear << 2 << "Reply: no reply\nNo controller reply\n"
            << QString();
        QTest::newRow("query") << Misbehaviour::None << QStringList{QStringLiteral("query")} << 0
                               << "Controller: GLINTSIM\nFirmware version: 1.00\n"
                                  "Controller setting: All Switches\nCommand received\n"
                               << QString();
        QTest::newRow("query a silent controller")
            << Misbehaviour::Silent << QStringList{QStringLiteral("query")} << 2
            << "Controller: No Reply\nFirmware version: \nController setting: \n"
               "No controller reply\n"
            << QString();
        QTest::newRow("send call")
            << Misbehaviour::None << QStringList{QStringLiteral("send"), QStringLiteral("01")} << 0
            << "Reply: 79\nReceived: 61 79\n"
            << QString();
        QTest::newRow("send plain text the controller refuses")
            << Misbehaviour::None << QStringList{QStringLiteral("send"), QStringLiteral("5")} << 1
            << "Reply: 6E\nReceived: 6E\n"
            << QString();
    }
    void outcomes()
    {
        QFETCH(Misbehaviour, misbehaviour);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        m_controller->setMisbehaviour(misbehaviour);
        arguments.replaceInStrings(QStringLiteral("%lcd64"), sampleOf(SwitchTypeCode::Lcd64x32));
        arguments.replaceInStrings(QStringLiteral("%colour"), sampleOf(SwitchTypeCode::Color96x64));
        CliRun run;
        QVERIFY(runCli(onPty(arguments), run));
        QCOMPARE(run.out, out);
        QCOMPARE(run.err, err);
        QCOMPARE(run.exitCode, exitCode);
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QString lcd = QStringLiteral("%lcd64");
        const QString address = QStringLiteral("--address");
        QTest::newRow("no command") << QStringList() << "vantrel-cli: no command given\n";
        QTest::newRow("unknown command")
            << QStringList{QStringLiteral("frob")} << "unknown command 'frob'";
        QTest::newRow("download without address")
            << QStringList{QStringLiteral("download"), lcd} << "download needs --address";
        QTest::newRow("clear without type")
            << QStringList{QStringLiteral("clear"), address, QStringLiteral("1")}
            << "clear needs --type";
        QTest::newRow("unknown type")
            << QStringList{QStringLiteral("upload"), address, QStringLiteral("1"),
                           QStringLiteral("--type"), QStringLiteral("LCD 99x99")}
            << "unknown switch type 'LCD 99x99'";
        QTest::newRow("speed not offered")
            << QStringList{QStringLiteral("--speed"), QStringLiteral("38400"),
                           QStringLiteral("query")}
            << "--speed must be 9600, 19200, 57600 or 115200";
        QTest::newRow("text without --as")
            << QStringList{QStringLiteral("text"), lcd} << "text needs --as chars or --as hex";
        QTest::newRow("missing file")
            << QStringList{QStringLiteral("download"), QStringLiteral("/nonexistent/a.bmp"),
                           address, QStringLiteral("1")}
            << "vantrel-cli: cannot read /nonexistent/a.bmp: no such file\n";
        QTest::newRow("not a picture")
            << QStringList{QStringLiteral("download"), QStringLiteral("%short"), address,
                           QStringLiteral("1")}
            << "is not a picture file: no switch picture is 100 bytes long";
        QTest::newRow("unreadable bitmap")
            << QStringList{QStringLiteral("download"), QStringLiteral("%broken"), address,
                           QStringLiteral("1")}
            << "Download failed. The selected item is an invalid picture.";
        QTest::newRow("type disagrees with the file") << QStringList{QStringLiteral("download"),
                                                                     lcd,
                                                                     address,
                                                                     QStringLiteral("1"),
                                                                     QStringLiteral("--type"),
                                                                     QStringLiteral("6")}
                                                      << "is a LCD 64x32 picture, not COLOR 96x64";
        QTest::newRow("address too long")
            << QStringList{QStringLiteral("clear"), address, QStringLiteral("1FFFF"),
                           QStringLiteral("--type"), QStringLiteral("3")}
            << "vantrel-cli: address 1FFFF for OLED 64x48: Data must be 4 characters long.\n";
        QTest::newRow("address not hex")
            << QStringList{QStringLiteral("clear"), address, QStringLiteral("0G"),
                           QStringLiteral("--type"), QStringLiteral("3")}
            << "Data must be in Hex format.";
        QTest::newRow("LCD address too long")
            << QStringList{QStringLiteral("download"), lcd, address, QStringLiteral("100")}
            << "Data must be 2 characters long.";
        QTest::newRow("odd number of hex digits")
            << QStringList{QStringLiteral("--port"), QStringLiteral("sim"), QStringLiteral("send"),
                           QStringLiteral("A")}
            << "Manual Command Message: Hex input must be even number of nibbles.\n";
        QTest::newRow("unknown port number")
            << QStringList{QStringLiteral("--port"), QStringLiteral("99"), QStringLiteral("query")}
            << "vantrel-cli: there is no port 99; 'vantrel-cli ports' lists the ports\n";
        QTest::newRow("unknown device")
            << QStringList{QStringLiteral("--port"), QStringLiteral("/dev/vantrel-none"),
                           QStringLiteral("query")}
            << "/dev/vantrel-none: no such device";
        QTest::newRow("raw data header in lower case")
            << QStringList{QStringLiteral("--port"), QStringLiteral("sim"),  QStringLiteral("text"),
                           QStringLiteral("%lower"), QStringLiteral("--as"), QStringLiteral("hex")}
            << "Downloading Error: File does not contain correct header.\n";
    }
    void badInput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QByteArray broken = QByteArray(254, '\xff');
        broken[0] = 'B';
        broken[1] = 'M';
        arguments.replaceInStrings(QStringLiteral("%lcd64"), sampleOf(SwitchTypeCode::Lcd64x32));
        arguments.replaceInStrings(QStringLiteral("%short"),
                                   writeFile(QStringLiteral("short.bmp"), QByteArray(100, 'x')));
        arguments.replaceInStrings(QStringLiteral("%broken"),
                                   writeFile(QStringLiteral("broken.bmp"), broken));
        arguments.replaceInStrings(QStringLiteral("%lower"),
                                   writeFile(QStringLiteral("lower.txt"), "raw data0102"));
        CliRun run;
        QVERIFY(runCli(arguments, run));
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(run.exitCode, 3);
    }

    void uploadGivesBackThePicture()
    {
        const QString path = sampleOf(SwitchTypeCode::Oled52x36);
        CliRun run;
        QVERIFY(runCli(onPty({QStringLiteral("download"), path, QStringLiteral("--address"),
                              QStringLiteral("3")}),
                       run));
        QCOMPARE(run.exitCode, 0);
        const std::optional<StoredPicture> stored =
            m_controller->picture(3, SwitchTypeCode::Oled52x36);
        QVERIFY(stored);
        const QByteArray payload = stored->payload;

        const QStringList upload{QStringLiteral("upload"), QStringLiteral("--address"),
                                 QStringLiteral("3"), QStringLiteral("--type"),
                                 QStringLiteral("4")};
        QVERIFY(runCli(onPty(upload), run));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, QStringLiteral("Reply: 79\n") +
                              QString::fromLatin1(payload.toHex().toUpper()) +
                              QStringLiteral("y\n"));

        const QString image = m_files.filePath(QStringLiteral("uploaded.png"));
        QVERIFY(runCli(onPty(upload + QStringList{QStringLiteral("--output"), image}), run));
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QImage(image).convertToFormat(QImage::Format_RGB32),
                 DecodeSwitchPicture(SwitchTypeCode::Oled52x36, payload));

        QVERIFY(runCli(onPty({QStringLiteral("upload"), QStringLiteral("--address"),
                              QStringLiteral("4"), QStringLiteral("--type"), QStringLiteral("4")}),
                       run));
        QCOMPARE(run.out, QStringLiteral("Reply: 6E\n"));
        QCOMPARE(run.exitCode, 1);
    }

    void portVanishesDuringDownload()
    {
        m_server->setLineSpeed(9600); // the picture takes seconds to come down the line
        QProcess process;
        start(process, onPty({QStringLiteral("download"), sampleOf(SwitchTypeCode::Color96x64),
                              QStringLiteral("--address"), QStringLiteral("1")}));
        QTRY_VERIFY_WITH_TIMEOUT(m_controller->receivedBytes().size() > 1000, 20000);
        m_server->vanish();
        CliRun run;
        QVERIFY(finish(process, run));
        QVERIFY2(run.err.contains(QRegularExpression(
                     QStringLiteral("\\nvantrel-cli: Communication port COM\\d+ was lost: "))),
                 qPrintable(run.err));
        QCOMPARE(run.exitCode, 3);
        QVERIFY(m_controller->pictures().isEmpty());
    }

    // On the built-in controller, which sees the flow control switch at once; the traffic log
    // shows every byte sent and the controller's answer.
    void rawDataStreams_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("as");
        QTest::addColumn<QString>("traffic");
        QTest::newRow("pairs as bytes") << QByteArray("RAW DATA0102") << "chars"
                                        << "> 01 02 < 79";
        QTest::newRow("text as written") << QByteArray("RAW DATA0102") << "hex"
                                         << "> 30 31 30 32 < 79";
        QTest::newRow("header on a line of its own, spaces, a lone digit")
            << QByteArray("RAW DATA\r\n01 02\r\nA\r\n") << "chars"
            << "> 01 02 < 79\n> 0A < 79";
    }
    void rawDataStreams()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, as);
        QFETCH(QString, traffic);
        CliRun run;
        QVERIFY(runCli({QStringLiteral("--port"), QStringLiteral("sim"), QStringLiteral("text"),
                        writeFile(QStringLiteral("raw.txt"), file), QStringLiteral("--as"), as,
                        QStringLiteral("--traffic")},
                       run));
        QCOMPARE(run.err, traffic + QLatin1Char('\n'));
        const qsizetype lines = traffic.count(u'\n') + 1;
        QCOMPARE(run.out, QStringLiteral("Reply: 79\n").repeated(lines) +
                              QStringLiteral("1 downloaded files\n"));
        QCOMPARE(run.exitCode, 0);
    }

    // A controller that holds XOFF far beyond the stall limit: the command says so, counts no
    // file and has its own exit status.
    void blockedLineIsNoDownload()
    {
        m_controller->setTextInput(256, 1);
        CliRun run;
        QVERIFY(runCli(onPty({QStringLiteral("text"),
                              writeFile(QStringLiteral("long.txt"),
                                        "RAW DATA\n" + QByteArray(2000, 'A') + "\n"),
                              QStringLiteral("--as"), QStringLiteral("hex")}),
                       run));
        QVERIFY2(run.err.startsWith(QStringLiteral("vantrel-cli: The line was blocked for 5 s; ")),
                 qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral(" of 2000 characters sent.")),
                 qPrintable(run.err));
        QVERIFY(!run.out.contains(QStringLiteral("downloaded files")));
        QCOMPARE(run.exitCode, 4);
    }

    // Pixels of 16 or 32 bits give no pixel digits; the header still goes and the controller's
    // answer decides, as in the window.
    void pictureWithoutPixelDigitsIsStillSent()
    {
        QFile sample(sampleOf(SwitchTypeCode::Color96x64));
        QVERIFY(sample.open(QIODevice::ReadOnly));
        QByteArray bytes = sample.readAll();
        constexpr int BitCountAt = 28;
        bytes[BitCountAt] = 16;
        CliRun run;
        QVERIFY(runCli(onPty({QStringLiteral("download"), writeFile("c16.bmp", bytes),
                              QStringLiteral("--address"), QStringLiteral("5")}),
                       run));
        QCOMPARE(run.out, QStringLiteral("Reply: no reply\n0 downloaded files\n"));
        QCOMPARE(run.exitCode, 2);
        QVERIFY(m_controller->receivedBytes().startsWith("(0005"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
