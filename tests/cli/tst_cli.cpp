#include "ControllerTiming.h"
#include "Decoders.h"
#include "Encoders.h"
#include "FileClassification.h"
#include "PictureConversion.h"
#include "PtyServer.h"
#include "SwitchDataFile.h"
#include "SwitchForms.h"
#include "TestKit.h"
#include "VirtualController.h"

#include <QDir>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <csignal>
#include <map>
#include <memory>

Q_DECLARE_METATYPE(ConversionSettings)

// vantrel-cli as an operator's script runs it: a separate process without a screen, judged by
// its exit status, standard output and standard error. The controller is either the built-in one
// (--port sim) or one this test serves on a pseudo-terminal, so what it stored can be inspected.
class TestCli : public QObject
{
    Q_OBJECT
public:
    enum class Interruption { None, PortVanishes, ProgramStalls };
    Q_ENUM(Interruption)

private:
    // Longer than the controller's quiet gap that ends a picture without its type letter.
    static constexpr int StalledProgramMs = ControllerTiming::DataGapMs + 20;

    struct CliRun
    {
        int exitCode = -1; // -1: crashed, or still running after a minute and killed
        QString out;
        QString err;
        // Status, standard output and standard error, for one comparison of all three.
        QString whole() const { return QStringLiteral("%1|%2|%3").arg(exitCode).arg(out, err); }
    };

    QTemporaryDir m_files;
    std::map<int, QString> m_samples; // by switch type, a copy of a sample built into the program
    std::unique_ptr<VirtualController> m_controller;
    std::unique_ptr<PtyServer> m_server;

    // On the test's pseudo-terminal unless the arguments name a port; "%N" stands for the sample
    // picture of switch type N.
    void start(QProcess& process, QStringList arguments)
    {
        for (QString& argument : arguments) {
            if (argument.size() == 2 && argument.startsWith(u'%'))
                argument = m_samples[argument.at(1).digitValue()];
        }
        if (!arguments.contains(QStringLiteral("--port")))
            arguments = QStringList{"--port", m_server->devicePath()} + arguments;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VANTREL_CLI_PATH), arguments);
    }

    // Waits on the event loop, so this process keeps serving the pseudo-terminal meanwhile.
    static CliRun finish(QProcess& process)
    {
        QSignalSpy finished(&process, &QProcess::finished);
        if (process.state() != QProcess::NotRunning && !finished.wait(60000))
            process.kill();
        process.waitForFinished();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAllStandardOutput()),
                QString::fromLocal8Bit(process.readAllStandardError())};
    }

    CliRun cli(const QStringList& arguments)
    {
        QProcess process;
        start(process, arguments);
        return finish(process);
    }

    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        const QString path = m_files.filePath(name);
        return WriteFile(path, bytes) ? path : QString();
    }

    // A picture of no display's size, in colours, its left edge transparent.
    QString drawnPicture(const QString& name) const
    {
        QImage picture(77, 41, QImage::Format_ARGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgba(x * 3, y * 6, (x + y) * 2, x < 10 ? 0 : 255));
        const QString path = m_files.filePath(name);
        return picture.save(path) ? path : QString();
    }

    static void outcome(const char* name, Misbehaviour misbehaviour, const QStringList& arguments,
                        int exitCode, const QString& out, const QString& err = QString())
    {
        QTest::newRow(name) << misbehaviour << arguments
                            << QStringLiteral("%1|%2|%3").arg(exitCode).arg(out, err);
    }

    // Input the command line turns down with a message and status 3.
    static void refusal(const char* name, const QStringList& arguments, const QString& message)
    {
        QTest::newRow(name) << arguments << message;
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

    // `count` MONO 96x64 pictures p1.bmp ... in a folder of their own, each with one pixel byte
    // of its own, so every controller's memory tells which picture went where.
    QString writeBatch(const QString& name, int count)
    {
        constexpr int PixelStart = 62;
        const QByteArray sample = ReadFile(m_samples[SwitchTypeCode::Mono96x64]);
        QDir(m_files.path()).mkpath(name);
        for (int i = 1; i <= count; ++i) {
            QByteArray picture = sample;
            picture[PixelStart + i] = char(~picture[PixelStart + i]);
            writeFile(QStringLiteral("%1/p%2.bmp").arg(name).arg(i), picture);
        }
        return m_files.filePath(name);
    }

    // The report's rows without the seconds, which no test can know.
    static QStringList reportRows(const QString& path)
    {
        static const QRegularExpression seconds(QStringLiteral(",[^,\n]*(,[^,\n]*)$"),
                                                QRegularExpression::MultilineOption);
        return QString::fromUtf8(ReadFile(path))
            .replace(seconds, "\\1")
            .split(u'\n', Qt::SkipEmptyParts);
    }

    // The pictures a controller holds, by address, against the encoders' own of each file.
    using PictureAt = QMap<int, int>; // address -> picture number
    static void compareStored(const VirtualController& controller, const QString& folder,
                              const PictureAt& pictures)
    {
        QList<std::pair<int, QByteArray>> stored, expected;
        for (const StoredPicture& picture : controller.pictures())
            stored.append({picture.address, picture.payload});
        for (auto [address, number] : pictures.asKeyValueRange())
            expected.append(
                {address, expectedPayload(folder + QStringLiteral("/p%1.bmp").arg(number),
                                          SwitchTypeCode::Mono96x64)});
        QCOMPARE(stored, expected);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        const QDir samples(QStringLiteral(":/samples"));
        for (const QString& name : samples.entryList(QDir::Files)) {
            const QString path = m_files.filePath(name);
            QVERIFY(QFile::copy(samples.filePath(name), path));
            m_samples.try_emplace(ClassifyLength(QFileInfo(path).size()).TypeCode, path);
        }
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

    void portsAreNumberedWithDevices()
    {
        const CliRun run = cli({"ports"});
        QCOMPARE(run.exitCode, 0);
        QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.takeLast(), QStringLiteral("sim: built-in virtual controller"));
        static const QRegularExpression numbered(QStringLiteral("^COM([1-9]|1[0-6]): \\S+"));
        for (const QString& line : lines)
            QVERIFY2(numbered.match(line).hasMatch(), qPrintable(line));
    }

    // Every switch type at each of the line's speeds to a controller that reads at that pace
    // behind a pseudo-terminal taking every write at once (as a USB adapter hides its chip): the
    // picture arrives once, under its header and as the window's encoders make it, reads back as
    // stored, and an attribute record for the type follows it and is stored as sent.
    void everyTypeArrivesWhole_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<int>("speed");
        for (int speed : {9600, 57600, 115200}) {
            for (int type = 1; type <= 6; ++type)
                QTest::addRow("%s at %d", qPrintable(TypeName(qint16(type))), speed)
                    << type << speed;
        }
    }
    void everyTypeArrivesWhole()
    {
        QFETCH(int, typeCode);
        QFETCH(int, speed);
        const auto type = qint16(typeCode);
        m_server->setLineSpeed(speed);
        // With the type letter at 57600; a MONO 96x64 header always carries it. The header follows
        // '(' for a picture, '*' for a record.
        const bool identifier = speed == 57600;
        const QStringList line = QStringList{"--speed", QString::number(speed),   "--address", "7",
                                             "--type",  QString::number(typeCode)} +
                                 QStringList(identifier ? 1 : 0, "--identifier");
        const QByteArray header = QByteArray(identifier || type == 5 ? 1 : 0, "QRSTUV"[type - 1]) +
                                  (type <= 2 ? "07" : "0007");
        const QStringList download{"download", m_samples[typeCode], "--led-off",
                                   "3",        "--led-on",          "a"};
        QCOMPARE(cli(line + download).whole(), "0|Reply: 79\n1 downloaded files\n|");
        QVERIFY(m_controller->receivedBytes().startsWith('(' + header));
        const QByteArray payload = expectedPayload(m_samples[typeCode], type);
        QCOMPARE(m_controller->picture(7, type).value_or(StoredPicture()).payload, payload);

        // Read back as the controller sends it.
        QCOMPARE(cli(line + QStringList{"upload"}).out,
                 "Reply: 79\n" + QString::fromLatin1(payload.toHex().toUpper()) + "y\n");

        // MONO 96x64 records are 28 digits, the others 16; they go out in upper case.
        const QByteArray digits = QByteArray("0123456789ABCDEF0123456789AB")
                                      .left(type == SwitchTypeCode::Mono96x64 ? 28 : 16);
        QCOMPARE(cli(line + QStringList{"attributes", digits.toLower()}).whole(),
                 "0|Reply: 79\nAttributes downloaded\n|");
        QVERIFY(m_controller->receivedBytes().endsWith('*' + header + digits));
        QCOMPARE(m_controller->attributeRecord(7).value_or(AttributeRecord()).digits, digits);
        QCOMPARE(m_controller->counters().picturesStored, 1);
    }

    // Switch data files hold a picture as the window sends it: a bitmap converted to one downloads
    // exactly what the bitmap does; an upload written as a switch data file is that same file, and
    // converts to the picture the switch shows.
    void switchDataFiles_data()
    {
        QTest::addColumn<int>("typeCode");
        QTest::addColumn<QString>("name");
        QTest::newRow("LCD 36x24 without a header") << 1 << "power.sd";
        QTest::newRow("LCD 64x32 rows turned round, any name") << 2 << "speaker.dat";
        QTest::newRow("COLOR 96x64") << 6 << "rocket.SD";
    }
    void switchDataFiles()
    {
        QFETCH(int, typeCode);
        QFETCH(QString, name);
        const auto type = qint16(typeCode);
        const QByteArray expected = expectedPayload(m_samples[typeCode], type);
        // An LCD 36x24 picture block takes the LED colours asked for.
        const QString file = m_files.filePath(name);
        const QStringList leds{"--led-off", "3", "--led-on", "a"};
        QCOMPARE(cli(QStringList{"convert", m_samples[typeCode], "--output", file} + leds).whole(),
                 "0|Switch data written to " + file + "\n|");
        const QStringList line{"--speed", "115200", "--address",
                               "7",       "--type", QString::number(typeCode)};
        QCOMPARE(cli(line + QStringList{"download", file}).whole(),
                 "0|Reply: 79\n1 downloaded files\n|");
        QCOMPARE(m_controller->picture(7, type).value_or(StoredPicture()).payload, expected);

        const QString uploaded = m_files.filePath("uploaded.sd");
        QCOMPARE(cli(line + QStringList{"upload", "--output", uploaded}).out,
                 "Reply: 79\nSwitch data written to " + uploaded + "\n");
        QCOMPARE(ReadFile(uploaded), ReadFile(file));

        // As a bitmap again, it downloads the very picture the switch holds.
        const QString image = m_files.filePath("shown.png"), bitmap = m_files.filePath("again.bmp");
        QCOMPARE(cli({"convert", uploaded, "--output", image}).out,
                 "Picture written to " + image + "\n");
        QCOMPARE(QImage(image).convertToFormat(QImage::Format_RGB32),
                 DecodeSwitchPicture(type, expected));
        QCOMPARE(cli({"convert", uploaded, "--output", bitmap}).out,
                 "Bitmap written to " + bitmap + "\n");
        QCOMPARE(expectedPayload(bitmap, type), expected);
    }

    // Any picture becomes the accepted bitmap of the type asked for, byte for byte what the
    // library's conversion gives with the settings the options name; its switch data file and
    // its image follow from that bitmap.
    void picturesConvertForTheType_data()
    {
        using enum PictureFit;
        using enum PictureDither;
        using Settings = ConversionSettings;
        const auto words = [](const char* options) { return QString(options).split(u' '); };
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<ConversionSettings>("settings");
        QTest::newRow("LCD 36x24, the defaults") << words("--type 1") << Settings{.typeCode = 1};
        QTest::newRow("LCD 64x32 covered from the top left, dithered")
            << words("--type 2 --fit cover --crop 0,0 --dither floyd")
            << Settings{.typeCode = 2, .fit = Cover, .crop = {0, 0}, .dither = FloydSteinberg};
        QTest::newRow("LCD 36x24 on white") << words("--type 1 --background white")
                                            << Settings{.typeCode = 1, .background = Qt::white};
        QTest::newRow("OLED 64x48 turned and mirrored")
            << words("--type 3 --rotate 90 --flip hv")
            << Settings{
                   .typeCode = 3, .rotation = 90, .flipHorizontal = true, .flipVertical = true};
        QTest::newRow("OLED 52x36 stretched, toned")
            << words("--type 4 --fit stretch --brightness 30 --contrast -20")
            << Settings{.typeCode = 4, .fit = Stretch, .brightness = 30, .contrast = -20};
        QTest::newRow("MONO 96x64 threshold, inverted, upside down")
            << words("--type 5 --threshold 90 --invert --flip v")
            << Settings{.typeCode = 5, .flipVertical = true, .threshold = 90, .invert = true};
        QTest::newRow("COLOR 96x64 by name, bars of a colour")
            << QStringList{"--type",  "COLOR 96x64", "--background",
                           "#3366cc", "--dither",    "atkinson"}
            << Settings{.typeCode = 6, .background = QColor(0x33, 0x66, 0xcc), .dither = Atkinson};
    }
    void picturesConvertForTheType()
    {
        QFETCH(QStringList, options);
        QFETCH(ConversionSettings, settings);
        const QString picture = drawnPicture("drawn.png");
        const auto convertTo = [&](const QString& name) {
            return cli(QStringList{"convert", picture, "--output", m_files.filePath(name)} +
                       options);
        };
        QCOMPARE(convertTo("converted.bmp").whole(),
                 "0|Bitmap written to " + m_files.filePath("converted.bmp") + "\n|");
        const QByteArray bitmap = ReadFile(m_files.filePath("converted.bmp"));
        QCOMPARE(bitmap, ConvertToBitmap(ReadSourcePicture(picture).image, settings));

        QCOMPARE(convertTo("converted.sd").exitCode, 0);
        const QByteArray switchData = ReadFile(m_files.filePath("converted.sd"));
        QCOMPARE(SwitchDataFileType(switchData.left(8), switchData.size()), settings.typeCode);
        QCOMPARE(convertTo("converted.png").exitCode, 0);
        QCOMPARE(QImage(m_files.filePath("converted.png")).convertToFormat(QImage::Format_RGB32),
                 SwitchViewOfBitmap(settings.typeCode, bitmap, true));
    }

    // Every picture of a folder, each on its own: one that cannot be read is named and the others
    // are still written.
    void folderConverts()
    {
        QDir folder(m_files.filePath("pictures"));
        QVERIFY(folder.mkpath("."));
        const QImage picture(drawnPicture("folder.png"));
        for (const char* name : {"one.png", "two.jpg", "three.bmp"})
            QVERIFY(picture.save(folder.filePath(name)));
        QVERIFY(!writeFile("pictures/four.png", "not a picture").isEmpty());
        const QString target = m_files.filePath("bitmaps");
        const CliRun run =
            cli({"convert", folder.path(), "--type", "2", "--fit", "cover", "--output", target});
        QCOMPARE(run.out,
                 "3 pictures written to " + target + "\n1 picture could not be converted\n");
        QVERIFY2(run.err.startsWith("vantrel-cli: four.png cannot be converted: "),
                 qPrintable(run.err));
        QCOMPARE(run.exitCode, 3);
        QCOMPARE(QDir(target).entryList(QDir::Files, QDir::Name),
                 (QStringList{"one.bmp", "three.bmp", "two.bmp"}));
        for (const QFileInfo& file : QDir(target).entryInfoList(QDir::Files))
            QCOMPARE(ClassifyLength(file.size()).TypeCode, SwitchTypeCode::Lcd64x32);
    }

    void outcomes_data()
    {
        using enum Misbehaviour;
        QTest::addColumn<Misbehaviour>("misbehaviour");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("whole"); // status|output|errors
        const QStringList download{"download", "%2", "--address", "1"};
        const QStringList clear{"clear", "--address", "2A", "--type", "COLOR 96x64"};
        const QString refused = "Controller Error Message: An error message has been received "
                                "from the controller.\nError message: 6E\n";
        const QString noReply =
            "Controller Error Message: No reply from controller.\nError message: no reply\n";
        outcome("download refused", RefuseAll, download, 1, "Reply: 6E\n0 downloaded files\n",
                refused);
        outcome("download to a silent controller", Silent, download, 2,
                "Reply: no reply\nNo controller reply\n");
        outcome("download without ready byte", NoReady, download, 2,
                "Reply: 79\nNo controller reply\n");
        // A long picture, so the late ready byte still comes while the data are being sent.
        outcome("download answered late", Late, {"download", "%6", "--address", "1"}, 2,
                "Reply: no reply\n0 downloaded files\n", noReply);
        // Odd headers of a bitmap of an accepted length: pixels of 4 bits give no pixel digits,
        // pixels in the last two bytes a few. The header still goes and the controller's answer
        // decides, as in the window: it waits past the reply window for digits that never come,
        // and refuses a short block.
        const auto oddBitmap = [this](int typeCode, quint16 bitsPerPixel, quint32 pixelBytes) {
            QByteArray bitmap = ReadFile(m_samples[typeCode]);
            qToLittleEndian(bitsPerPixel, bitmap.data() + 28);
            if (pixelBytes > 0)
                qToLittleEndian(quint32(bitmap.size() - pixelBytes), bitmap.data() + 10);
            const QString name = QStringLiteral("odd%1-%2-%3.bmp");
            return QStringList{
                "download", writeFile(name.arg(typeCode).arg(bitsPerPixel).arg(pixelBytes), bitmap),
                "--address", "5"};
        };
        const QString noDigits = "Reply: no reply\n0 downloaded files\n";
        outcome("MONO 96x64 pixels of 4 bits", None, oddBitmap(5, 4, 0), 2, noDigits, noReply);
        outcome("MONO 96x64 pixels in the last two bytes", None, oddBitmap(5, 1, 2), 1,
                "Reply: 6E\n0 downloaded files\n", refused);
        // Two bytes hold no whole 24-bit pixel.
        outcome("OLED 52x36 pixels in the last two bytes", None, oddBitmap(4, 24, 2), 2, noDigits,
                noReply);
        // A saved attribute file, a line at a time as the batch attribute window sends its rows; a
        // row refused six times ends the command.
        const QString saved = writeFile(
            "Saved.txt", "a.bmp|01|0102030405060708090A0B0C0D0E0F10|C3|C7\r\nb.bmp|02|||\r\n");
        const QStringList savedAttributes{"--identifier", "attributes", saved, "--type", "2",
                                          "--switches",   "16"};
        outcome("saved attributes stored", None, savedAttributes, 0,
                "a.bmp 01: Attributes downloaded\nb.bmp 02: Attributes downloaded\n");
        outcome("saved attributes refused", RefuseAll, savedAttributes, 1, "a.bmp 01: Reply: 6E\n",
                "Download Attributes Message: Error while downloading image attributes.\n"
                "a.bmp attributes failed to download to address 01.\n");
        outcome("clear done", None, clear, 0, "Reply: 79\nAddress 002A Clear\n");
        outcome("clear refused", RefuseAll, clear, 1, "Reply: 6E\nAddress not cleared\n", refused);
        outcome("query", None, {"query"}, 0,
                "Controller: GLINTSIM\nFirmware version: 1.00\nController setting: All Switches\n"
                "Command received\n");
        outcome("query a silent controller", Silent, {"query"}, 2,
                "Controller: No Reply\nFirmware version: \nController setting: \n"
                "No controller reply\n");
        outcome("send call", None, {"send", "01"}, 0, "Reply: 79\nReceived: 61 79\n");
        outcome("send plain text the controller refuses", None, {"send", "5"}, 1,
                "Reply: 6E\nReceived: 6E\n");
        outcome("upload of an empty address", None, {"upload", "--address", "4", "--type", "4"}, 1,
                "Reply: 6E\n");
        // On the built-in controller, which sees the flow control switch at once; the traffic log
        // shows every byte sent and the controller's answer.
        const QString raw = writeFile("raw.txt", "RAW DATA0102");
        const QString lines = writeFile("lines.txt", "RAW DATA\r\n01 02\r\nA\r\n");
        outcome("raw data, text as written", None,
                {"--port", "sim", "text", raw, "--as", "hex", "--traffic"}, 0,
                "Reply: 79\n1 downloaded files\n", "> 30 31 30 32 < 79\n");
        outcome("raw data, header on a line of its own, spaces, a lone digit", None,
                {"--port", "sim", "text", lines, "--as", "chars", "--traffic"}, 0,
                "Reply: 79\nReply: 79\n1 downloaded files\n", "> 01 02 < 79\n> 0A < 79\n");
        // Far more text than the controller's input holds at once: only its XOFF saves the text.
        const QString flood = writeFile("flood.txt", "RAW DATA\n" + QByteArray(4000, 'F') + "\n");
        outcome("raw data held back by XOFF", None, {"--port", "sim", "text", flood, "--as", "hex"},
                0, "Reply: 79\n1 downloaded files\n");
    }
    void outcomes()
    {
        QFETCH(Misbehaviour, misbehaviour);
        QFETCH(QStringList, arguments);
        // Read at the line's own rate, so answers fall due when the program's line account says
        // the data have left: an instant far end sees a picture end up to the program's lead on
        // the line earlier, and a late answer then lands inside the reply window.
        m_server->setLineSpeed(57600);
        m_controller->setMisbehaviour(misbehaviour);
        QTEST(cli(arguments).whole(), "whole");
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QString cutShort =
            writeFile("cut.sd", QByteArray::fromHex("5156523110004030") + QByteArray(6000, 0));
        const QString hexText = writeFile("few.txt", "01234567ABCD");
        refusal("no command", {}, "vantrel-cli: no command given\n");
        refusal("unknown command", {"frob"}, "unknown command 'frob'");
        refusal("download without address", {"download", "%2"}, "download needs --address");
        refusal("unknown type", {"upload", "--address", "1", "--type", "LCD 99x99"},
                "unknown switch type 'LCD 99x99'");
        refusal("speed not offered", {"--speed", "38400", "query"},
                "--speed must be 9600, 19200, 57600 or 115200");
        refusal("missing file", {"download", "/nonexistent/a.bmp", "--address", "1"},
                "vantrel-cli: cannot read /nonexistent/a.bmp: no such file\n");
        refusal("not a picture",
                {"download", writeFile("short.dat", QByteArray(100, 'x')), "--address", "1"},
                "is not a picture file: no switch picture is 100 bytes long");
        refusal(
            "unreadable bitmap",
            {"download", writeFile("broken.bmp", "BM" + QByteArray(252, '\xff')), "--address", "1"},
            "Download failed. The selected item is an invalid picture.");
        refusal(
            "type disagrees with the switch data file",
            {"download", writeFile("lcd.sd", QByteArray(125, 0)), "--address", "1", "--type", "2"},
            "lcd.sd is a LCD 36x24 picture, not LCD 64x32\n");
        refusal("switch data file cut short", {"download", cutShort, "--address", "1"},
                "cut.sd is not a switch data file: OLED 64x48 files are 6152 bytes, this one is "
                "6008\n");
        refusal("hex-text file without a type", {"download", hexText, "--address", "1"},
                "download needs --type for a hex-text file (.txt), which does not name its switch "
                "type");
        refusal("hex text that is no whole picture",
                {"convert", hexText, "--type", "3", "--output", m_files.filePath("few.png")},
                "few.txt cannot be converted: its data are 4 hex digits, a OLED 64x48 picture is "
                "12288\n");
        refusal("output that cannot be written", {"convert", "%2", "--output", "/nonexistent/a.sd"},
                "cannot write /nonexistent/a.sd: ");
        // An output the operator already has stays as it was; none is made where there was none.
        const QString kept = writeFile("kept.bmp", "the operator's own");
        const QString absent = m_files.filePath("absent.bmp");
        const QString photo = drawnPicture("photo.png");
        const QString withoutType =
            "convert needs --type, the switch type to convert %1 for; usage: vantrel-cli "
            "convert %2 --type T [conversion options] --output OUT\n";
        refusal("picture without a type", {"convert", photo, "--output", absent},
                withoutType.arg(photo, "PICTURE"));
        refusal("conversion options without a type",
                {"convert", "%2", "--rotate", "90", "--output", kept},
                withoutType.arg(m_samples[2], "PICTURE"));
        refusal("folder without a type", {"convert", m_files.path(), "--output", absent},
                withoutType.arg(m_files.path(), "FOLDER"));
        refusal("picture Qt cannot read",
                {"convert", writeFile("photo.jpg", "no JPEG"), "--type", "2", "--output", kept},
                "vantrel-cli: photo.jpg cannot be converted: Unsupported image format\n");
        refusal("folder into itself",
                {"convert", m_files.path(), "--type", "2", "--output", m_files.path() + "/."},
                "cannot take its own converted pictures");
        const QStringList convertPhoto{"convert", photo, "--type", "2", "--output", absent};
        refusal("turn not a quarter", convertPhoto + QStringList{"--rotate", "45"},
                "--rotate must be 0, 90, 180 or 270");
        refusal("threshold above white", convertPhoto + QStringList{"--threshold", "300"},
                "--threshold must be a whole number from 0 to 255");
        refusal("unknown dither", convertPhoto + QStringList{"--dither", "foo"},
                "--dither must be none, floyd, atkinson or ordered");
        refusal("crop beyond the picture", convertPhoto + QStringList{"--crop", "120,0"},
                "--crop takes X,Y: percent across and down, each 0 to 100");
        refusal("crop without a comma", convertPhoto + QStringList{"--crop", "50"},
                "--crop takes X,Y");
        refusal("unknown colour", convertPhoto + QStringList{"--background", "nocolour"},
                "--background must be a colour name");
        refusal("conversion options on a download",
                {"download", photo, "--address", "1", "--fit", "cover"},
                "the picture conversion options apply to convert only");
        refusal("attribute digits that are no hex",
                {"attributes", "ZZ", "--address", "1", "--type", "3"},
                "attribute digits must be hex digits (0-9, A-F)");
        refusal("attribute file for another switch count",
                {"attributes", "Saved.txt", "--type", "2", "--switches", "4"},
                "--switches must be 2, 8 or 16");
        refusal("address too long", {"clear", "--address", "1FFFF", "--type", "3"},
                "vantrel-cli: address 1FFFF for OLED 64x48: Data must be 4 characters long.\n");
        refusal("odd number of hex digits", {"--port", "sim", "send", "A"},
                "Manual Command Message: Hex input must be even number of nibbles.\n");
        refusal("unknown port number", {"--port", "99", "query"},
                "vantrel-cli: there is no port 99; 'vantrel-cli ports' lists the ports\n");
        refusal("unknown device", {"--port", "/dev/vantrel-none", "query"},
                "/dev/vantrel-none: no such device");
        const QString batch = writeBatch("refusals", 4);
        const QStringList mono{"batch", batch, "--type", "5"};
        const QString oneAddress = writeFile("one.txt", "# shelf 1\n7\n");
        refusal("batch start and address file",
                mono + QStringList{"--start", "1", "--addresses", oneAddress},
                "give --start or --addresses, not both");
        refusal("batch on several ports without a spread",
                mono + QStringList{"--port", "sim", "--port", "/dev/null"},
                "several --port need --split (each port a share of the folder) or --each");
        refusal("several ports for one picture", {"--port", "sim", "--port", "2", "query"},
                "only batch takes several --port");
        refusal("batch report of another kind", mono + QStringList{"--report", "out.txt"},
                "--report must name a .csv or a .json file");
        refusal(
            "batch addresses short of pictures", mono + QStringList{"--addresses", oneAddress},
            "one.txt lists 1 addresses for 4 pictures: one per picture, in the batch's order\n");
        refusal("batch address twice",
                mono + QStringList{"--addresses", writeFile("twice.txt", "1\n2\n0001\n3\n")},
                "twice.txt line 3: address 0001 is listed twice\n");
        refusal("batch start too high", mono + QStringList{"--start", "FFFE"},
                "--start FFFE: Not enough addresses for 4 files. Maximum address is FFFC. "
                "Maximum offset is 65531.\n");
        refusal("batch of a type the folder lacks", {"batch", batch, "--type", "2"},
                "refusals holds no bitmap of a length LCD 64x32 takes\n");
        refusal("batch report in no folder", mono + QStringList{"--report", "/nonexistent/r.csv"},
                "cannot write the report /nonexistent/r.csv: there is no folder /nonexistent\n");
        refusal("batch resumed from no report", mono + QStringList{"--resume", oneAddress},
                "one.txt is no batch report: its first line must be "
                "file,address,attempts,outcome,seconds,bytes\n");
        refusal("raw data header in lower case",
                {"--port", "sim", "text", writeFile("lower.txt", "raw data0102"), "--as", "hex"},
                "Downloading Error: File does not contain correct header.\n");
    }
    void badInput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const QString output = arguments.value(arguments.indexOf("--output") + 1);
        const bool existed = QFileInfo::exists(output);
        const QByteArray before = ReadFile(output);
        const CliRun run = cli(arguments);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(run.exitCode, 3);
        QCOMPARE(QFileInfo::exists(output), existed);
        QCOMPARE(ReadFile(output), before);
    }

    // A controller that refuses the first picture six times, takes the second and then falls
    // silent: the run goes on past each failure and the report lists every attempt. Resumed from
    // that report, only what was not done is sent; resumed again, nothing.
    void batchReportsAndResumes()
    {
        const QString folder = writeBatch("outcomes", 4);
        const QString report = m_files.filePath("outcomes.csv");
        m_controller->failNextPictures(6);
        const QMetaObject::Connection silence =
            connect(m_controller.get(), &VirtualController::transmit, this,
                    [this](const QByteArray& bytes) {
                        if (m_controller->counters().picturesStored == 1 && bytes.contains('y'))
                            m_controller->setMisbehaviour(Misbehaviour::Silent);
                    });
        const QStringList batch{"batch", folder, "--type", "MONO 96x64", "--start", "10"};
        CliRun run = cli(batch + QStringList{"--report", report});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.out.startsWith(m_server->devicePath() +
                                    ": 1 done, 1 refused, 2 no reply, 0 skipped, 00:00:"),
                 qPrintable(run.out));
        QVERIFY2(run.err.contains("Download Picture Message: Error while downloading images.\n"
                                  "p3.bmp failed to download to address 0012.\n"),
                 qPrintable(run.err));
        QCOMPARE(reportRows(report),
                 (QStringList{"file,address,attempts,outcome,bytes", "p1.bmp,0010,6,refused,1536",
                              "p2.bmp,0011,1,done,1536", "p3.bmp,0012,6,no reply,1536",
                              "p4.bmp,0013,6,no reply,1536"}));

        disconnect(silence);
        m_controller->setMisbehaviour(Misbehaviour::None);
        m_controller->forgetEverything();
        const QString resumed = m_files.filePath("resumed.json");
        // The refresh follows a run that downloaded something, and only such a run.
        run = cli(batch + QStringList{"--resume", report, "--report", resumed, "--refresh"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(m_controller->counters().picturesStored, 3);
        QTRY_COMPARE(m_controller->counters().resets, 1);
        compareStored(*m_controller, folder, {{0x10, 1}, {0x12, 3}, {0x13, 4}});
        m_controller->forgetEverything();
        run = cli(batch + QStringList{"--resume", resumed, "--refresh"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(": 4 done, 0 refused, 0 no reply, 0 skipped, "),
                 qPrintable(run.out));
        QCOMPARE(m_controller->receivedBytes(), QByteArray());
    }

    // A run cut short (the process killed mid-batch) leaves its report as it stood at most a second
    // earlier; resumed from it, only what that report does not mark done is sent.
    void batchCutShortLeavesAReport()
    {
        const QString folder = writeBatch("cut", 5);
        const QString report = m_files.filePath("cut.csv");
        const QStringList batch{"batch", folder, "--type", "MONO 96x64", "--start", "10"};
        m_server->setLineSpeed(9600); // a picture takes about 1.7 s on the line
        QProcess process;
        start(process, QStringList{"--speed", "9600"} + batch + QStringList{"--report", report});
        QTRY_VERIFY_WITH_TIMEOUT(!reportRows(report).filter(",done,").isEmpty(), 30000);
        process.kill();
        process.waitForFinished();
        const qsizetype done = reportRows(report).filter(",done,").size();
        QVERIFY2(done < 5, qPrintable(reportRows(report).join(u'|')));

        m_server->setLineSpeed(0);
        m_controller->forgetEverything();
        const CliRun run = cli(batch + QStringList{"--resume", report});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(m_controller->counters().picturesStored, 5 - done);
    }

    // A controller that stops reading (the wait below serves no events): unanswered pictures are
    // sent again until the pseudo-terminal is full and the line blocks. That picture ends the
    // run, reported blocked and not sent again; status 4.
    void batchEndsOnABlockedLine()
    {
        const QString report = m_files.filePath("blocked.csv");
        QProcess process;
        start(process, {"--speed", "115200", "batch", writeBatch("blocked", 10), "--type", "5",
                        "--report", report});
        QVERIFY(process.waitForFinished(60000));
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(err.contains(QRegularExpression(
                     "p\\d+.bmp was not sent to address 00\\w\\w: The line was blocked for 5 s;")),
                 qPrintable(err));
        QCOMPARE(process.exitCode(), 4);
        QStringList outcomes;
        for (const QString& row : reportRows(report).mid(1))
            outcomes << row.section(u',', 3, 3);
        const qsizetype blocked = outcomes.indexOf("blocked");
        QCOMPARE(outcomes, QStringList(blocked, "no reply")
                               << "blocked" << QStringList(9 - blocked, "skipped"));
    }

    // Two controllers behind pseudo-terminals read at the line's rate, one command for both:
    // each holds exactly its own pictures, byte for byte, at the block's addresses, and each port
    // has its report.
    void batchOnTwoControllers_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<PictureAt>("first"); // what each controller should hold
        QTest::addColumn<PictureAt>("second");
        const PictureAt all{{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}};
        QTest::newRow("each") << QStringList{"--each"} << all << all;
        // Listed addresses are the block the window's Reverse turns round.
        const QString listed = writeFile("listed.txt", "20\n21\n\n22\n# spare: 30\n23\n24\n");
        const PictureAt reversed{{0x20, 5}, {0x21, 4}, {0x22, 3}, {0x23, 2}, {0x24, 1}};
        QTest::newRow("each, listed addresses reversed")
            << QStringList{"--each", "--addresses", listed, "--reverse"} << reversed << reversed;
        // Split: each share at the addresses it has in the whole block.
        QTest::newRow("split from a start address")
            << QStringList{"--split", "--start", "A0"} << PictureAt{{0xA0, 1}, {0xA1, 2}, {0xA2, 3}}
            << PictureAt{{0xA3, 4}, {0xA4, 5}};
    }
    void batchOnTwoControllers()
    {
        QFETCH(QStringList, options);
        QFETCH(PictureAt, first);
        QFETCH(PictureAt, second);
        const QString folder = writeBatch("parallel", 5);
        VirtualController other;
        PtyServer otherServer(other);
        QVERIFY2(otherServer.start(), qPrintable(otherServer.errorString()));
        m_server->setLineSpeed(115200);
        otherServer.setLineSpeed(115200);
        const QString report =
            m_files.filePath(QStringLiteral("%1.csv").arg(QTest::currentDataTag()));
        const QStringList arguments = QStringList{"batch",   folder,
                                                  "--type",  "5",
                                                  "--speed", "115200",
                                                  "--port",  m_server->devicePath(),
                                                  "--port",  otherServer.devicePath()} +
                                      options;
        const CliRun run = cli(arguments + QStringList{"--report", report});
        QCOMPARE(run.exitCode, 0);
        const QString summary = QStringLiteral("all: %1 done, 0 refused, 0 no reply, 0 skipped, ");
        QVERIFY2(run.out.contains(summary.arg(first.size() + second.size())), qPrintable(run.out));
        compareStored(*m_controller, folder, first);
        compareStored(other, folder, second);
        const QStringList reports{QString(report).replace(".csv", "-1.csv"),
                                  QString(report).replace(".csv", "-2.csv")};
        QCOMPARE(reportRows(reports.at(0)).size(), first.size() + 1);
        QCOMPARE(reportRows(reports.at(1)).size(), second.size() + 1);

        // Resumed from both ports' reports together, nothing is left to send to either.
        const qsizetype received =
            m_controller->receivedBytes().size() + other.receivedBytes().size();
        const CliRun resumed =
            cli(arguments + QStringList{"--resume", reports.at(0), "--resume", reports.at(1)});
        QCOMPARE(resumed.exitCode, 0);
        QCOMPARE(m_controller->receivedBytes().size() + other.receivedBytes().size(), received);
    }

    // Streams that stop on the way over the pseudo-terminal, whose tty really holds the program's
    // output on the controller's XOFF: for a moment, beyond the stall limit, or for good when the
    // device goes away as a removed adapter does. A file cut short is no file downloaded.
    // Long transfers at 9600 bit/s, so the data take seconds to come down the line.
    void interruptedStreams_data()
    {
        using enum Interruption;
        QTest::addColumn<int>("typeCode");       // 0: raw text
        QTest::addColumn<int>("charsPerSecond"); // how fast the controller takes raw text
        QTest::addColumn<Interruption>("interruption");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err"); // a pattern
        QTest::addColumn<int>("exitCode");
        const QString lost = "(^|\n)vantrel-cli: Communication port COM\\d+ was lost: ";
        const QString downloaded = "Reply: 79\n1 downloaded files\n";
        QTest::newRow("text paused, then resumed") << 0 << 500 << None << downloaded << "^$" << 0;
        QTest::newRow("text held beyond the stall limit")
            << 0 << 1 << None << "Reply: no reply\n"
            << "^vantrel-cli: The line was blocked for 5 s; \\d+ of 1500 characters sent.\n$" << 4;
        QTest::newRow("text, port vanishes") << 0 << 500 << PortVanishes << "Reply: no reply\n"
                                             << lost << 3;
        QTest::newRow("picture, port vanishes")
            << 6 << 500 << PortVanishes << "Reply: no reply\n0 downloaded files\n"
            << lost << 3;
        // A picture without its type letter ends on a quiet line: the program's lead on the line
        // keeps a short stall of its process (a busy machine) from ending the picture early.
        QTest::newRow("picture, program stalls")
            << 4 << 500 << ProgramStalls << downloaded << "^$" << 0;
    }
    void interruptedStreams()
    {
        QFETCH(int, typeCode);
        QFETCH(int, charsPerSecond);
        QFETCH(Interruption, interruption);
        m_server->setLineSpeed(9600);
        m_controller->setTextInput(ControllerTiming::TextCapacity, charsPerSecond);
        const QByteArray text = QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ").repeated(58).left(1500);
        const QStringList command =
            typeCode > 0 ? QStringList{"download", m_samples[typeCode], "--address", "1"}
                         : QStringList{"text", writeFile("long.txt", "RAW DATA\n" + text + "\n"),
                                       "--as", "hex"};
        QProcess process;
        start(process, QStringList{"--speed", "9600"} + command);
        // The port vanishes once raw text has filled the controller's input; the program stalls
        // early in its short picture.
        const qsizetype arrived = interruption == Interruption::PortVanishes ? 1000 : 100;
        if (interruption != Interruption::None)
            QTRY_VERIFY_WITH_TIMEOUT(m_controller->receivedBytes().size() > arrived, 20000);
        if (interruption == Interruption::PortVanishes)
            m_server->vanish();
        if (interruption == Interruption::ProgramStalls) {
            ::kill(pid_t(process.processId()), SIGSTOP);
            QTest::qWait(StalledProgramMs);
            ::kill(pid_t(process.processId()), SIGCONT);
        }
        const CliRun run = finish(process);
        QFETCH(QString, err);
        QTEST(run.out, "out");
        QVERIFY2(QRegularExpression(err).match(run.err).hasMatch(), qPrintable(run.err));
        QTEST(run.exitCode, "exitCode");
        QCOMPARE(m_controller->counters().xoffSent > 0, typeCode == 0);
        QCOMPARE(m_controller->counters().textCharsLost, 0);
        QCOMPARE(m_controller->rawText() == text, typeCode == 0 && run.exitCode == 0);
        QCOMPARE(m_controller->pictures().size(), typeCode > 0 && run.exitCode == 0 ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
