#include "CliSession.h"

#include "Outcome.h"
#include "SavedAttributeJobs.h"

#include "ControllerMessages.h"
#include "ControllerOperations.h"
#include "ControllerQuery.h"
#include "Conversions.h"
#include "Decoders.h"
#include "DeviceFormat.h"
#include "Encoders.h"
#include "FolderConversion.h"
#include "HexField.h"
#include "InProcessPort.h"
#include "PictureEncoding.h"
#include "SavedAttributes.h"
#include "SwitchCommands.h"
#include "SwitchDataFile.h"
#include "WholeFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

#include <algorithm>
#include <limits>

namespace {

const QString SimulatorPort = QStringLiteral("sim");

bool sameDevice(const QString& deviceName, const QString& wanted)
{
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    return deviceName.compare(wanted, cs) == 0 ||
           deviceName.endsWith(QLatin1Char('/') + wanted, cs);
}

// The image format a file name asks for (its extension, when Qt writes such images); empty for
// any other name.
QByteArray imageFormat(const QString& path)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    return QImageWriter::supportedImageFormats().contains(suffix) ? suffix : QByteArray();
}

// What --output's name asks for.
enum class OutputKind { Bitmap, Image, SwitchData };

OutputKind outputKind(const QString& path)
{
    const QByteArray format = imageFormat(path);
    if (format == "bmp")
        return OutputKind::Bitmap;
    return format.isEmpty() ? OutputKind::SwitchData : OutputKind::Image;
}

// The accepted bitmap of a stored picture: what the switch shows, converted as a display-sized
// picture is. An LCD 36x24 picture is lit white for it, so that its back-light colour does not
// decide which pixels are light.
QByteArray bitmapOfStoredPicture(qint16 typeCode, QByteArray payload)
{
    if (typeCode == SwitchTypeCode::Lcd36x24)
        payload[DeviceFormat::Lcd36x24PictureBytes] = char(0x77);
    ConversionSettings settings;
    settings.typeCode = typeCode;
    return ConvertToBitmap(DecodeSwitchPicture(typeCode, payload), settings);
}

QString pictureCount(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 picture") : QStringLiteral("%1 pictures").arg(count);
}

bool isSwitchDataName(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("sd"), Qt::CaseInsensitive) == 0;
}

QString writeWholeFile(const QString& path, const QByteArray& bytes)
{
    if (const QString problem = WriteWholeFile(path, bytes); !problem.isEmpty())
        return QStringLiteral("cannot write %1: %2").arg(path, problem);
    return QString();
}

QString openFailure(const PortError& error, qint32 speed)
{
    switch (error.kind) {
    case PortErrorClass::NoSuchPort:
        return QStringLiteral("no such device");
    case PortErrorClass::InUse:
        return QStringLiteral("in use by another program, or not permitted");
    case PortErrorClass::SettingsRefused:
        return QStringLiteral("the settings %1,n,8,1 were refused").arg(speed);
    default:
        return QStringLiteral("it cannot be opened");
    }
}

// One line per row of an attribute file as its run finishes with it; the exit status is the
// worst of them.
class AttributeLinePrinter : public AttributeRunView
{
public:
    explicit AttributeLinePrinter(const QList<AttributeJob>& jobs)
        : m_jobs(jobs)
    {
    }
    void showRowState(int, AttributeRowState) override {}
    void rowFinished(int row, ReplyOutcome outcome) override
    {
        const AttributeJob& job = m_jobs.at(row - 1);
        PrintLine(stdout, QStringLiteral("%1 %2: %3").arg(job.path, job.address, text(outcome)));
        m_worst = std::max(m_worst, ExitCodeForReply(outcome));
    }
    // Also when no row was finished: the run never got going.
    int worstExitCode() const { return m_worst; }

private:
    static QString text(ReplyOutcome outcome)
    {
        switch (outcome) {
        case ReplyOutcome::Done:
            return QStringLiteral("Attributes downloaded");
        case ReplyOutcome::Refused:
            return QStringLiteral("Reply: ") + ReplyCodes::Refused;
        case ReplyOutcome::NoReply:
            return QStringLiteral("Reply: ") + ReplyCodes::NoReply;
        case ReplyOutcome::LineBlocked:
            return QStringLiteral("The line was blocked");
        case ReplyOutcome::Unexpected:
            return QStringLiteral("An unexpected reply from controller has been received.");
        case ReplyOutcome::NotReady:
            break;
        }
        return QStringLiteral("No controller reply");
    }

    const QList<AttributeJob>& m_jobs;
    int m_worst = ExitCode::Done;
};

} // namespace

CliSession::CliSession(const CliRequest& request, std::FILE* progressStream)
    : m_request(request)
    , m_progressStream(progressStream)
    , m_meter(progressStream)
    , m_shell(m_meter, request.traffic)
    , m_link(m_state, m_catalog, m_shell)
{
    m_link.setActiveScreen(&m_shell);
    QObject::connect(&m_link, &ControllerLink::portLost, &m_link,
                     [this](const PortError&) { m_portLost = true; });
}

int CliSession::run()
{
    switch (m_request.command) {
    case CliCommand::Ports:
        return listPorts();
    case CliCommand::Query:
        return query();
    case CliCommand::Send:
        return send();
    case CliCommand::Download:
        return download();
    case CliCommand::Convert:
        return convert();
    case CliCommand::Clear:
        return clear();
    case CliCommand::Upload:
        return upload();
    case CliCommand::Text:
        return text();
    case CliCommand::Attributes:
        return attributes();
    case CliCommand::Batch:
        return batch();
    }
    return ExitCode::Failure;
}

// ---------------------------------------------------------------------------------------------
// The commands

int CliSession::listPorts()
{
    m_catalog.addSystemPorts();
    const QList<PortEntry> entries = m_catalog.entries();
    if (entries.isEmpty())
        PrintLine(stderr, QStringLiteral("No serial ports found."));
    for (const PortEntry& entry : entries)
        PrintLine(stdout, m_catalog.describe(entry.number));
    PrintLine(stdout, QStringLiteral("sim: built-in virtual controller"));
    return ExitCode::Done;
}

int CliSession::query()
{
    if (const std::optional<int> failed = openPort())
        return *failed;
    m_link.QueryController();
    PrintLine(stdout, QStringLiteral("Controller: ") + m_shell.controllerName());
    PrintLine(stdout, QStringLiteral("Firmware version: ") + m_shell.firmwareVersion());
    PrintLine(stdout, QStringLiteral("Controller setting: ") + m_shell.settingText());
    PrintLine(stdout, m_shell.panelText(4));
    return finish(exitCodeForAnswer(ReadReplyOutcome(m_link)));
}

int CliSession::send()
{
    if (const std::optional<int> failed = openPort())
        return *failed;
    // The only message a manual command shows is the refusal of an odd number of hex digits.
    const int shown = m_shell.messageCount();
    m_link.SendHexCommand(m_request.arguments.join(QLatin1Char(' ')));
    if (m_shell.messageCount() > shown)
        return finish(ExitCode::Failure);
    m_link.WaitForReply();
    printReply();
    PrintLine(stdout, QStringLiteral("Received: ") + m_state.ReplyLog.trimmed());
    return finish(exitCodeForAnswer(ReadReplyCode(m_state)));
}

int CliSession::download()
{
    const QString path = m_request.arguments.constFirst();
    const PictureSource source = ReadPictureSource(path, m_request.typeCode);
    if (!source.error.isEmpty())
        return fail(source.error);
    m_state.TypeCode = source.typeCode;
    const std::optional<QString> address = checkedAddress(source.typeCode);
    if (!address)
        return ExitCode::Failure;
    const std::optional<QString> data = pictureData(path, source);
    if (!data)
        return ExitCode::Failure;
    if (const std::optional<int> failed = openPort())
        return *failed;

    m_link.setTransferSource(QFileInfo(path).absoluteFilePath());
    m_link.TransferData(m_request.withTypeLetter, *address, *data);
    printReply();
    if (const std::optional<int> blocked = lineBlocked())
        return finish(*blocked);
    const Outcome outcome = JudgeDownload(ReadReplyOutcome(m_link), m_shell);
    PrintLine(stdout, outcome.status);
    return finish(outcome.exitCode);
}

int CliSession::convert()
{
    const QString path = m_request.arguments.constFirst();
    if (QFileInfo(path).isDir())
        return convertFolder(path);
    if (m_request.conversion)
        return convertPicture(path);
    const PictureSource source = ReadPictureSource(path, m_request.typeCode);
    if (source.kind == PictureSource::Kind::Foreign)
        return convertPicture(path);
    if (!source.error.isEmpty())
        return fail(source.error);
    m_state.TypeCode = source.typeCode;
    const std::optional<QString> data = pictureData(path, source);
    if (!data)
        return ExitCode::Failure;
    if (const QString problem = WholePictureProblem(source.typeCode, *data); !problem.isEmpty())
        return fail(QStringLiteral("%1 cannot be converted: %2").arg(path, problem));
    const QString problem = writePicture(source.typeCode, QByteArray::fromHex(data->toLatin1()));
    return problem.isEmpty() ? ExitCode::Done : fail(problem);
}

int CliSession::convertPicture(const QString& path)
{
    const std::optional<ConversionSettings> settings = conversionSettings(path);
    if (!settings)
        return ExitCode::Failure;
    const SourcePicture picture = ReadSourcePicture(path);
    if (!picture.error.isEmpty())
        return fail(picture.error);
    m_state.TypeCode = settings->typeCode;
    const QString problem =
        writeConverted(settings->typeCode, ConvertToBitmap(picture.image, *settings));
    return problem.isEmpty() ? ExitCode::Done : fail(problem);
}

int CliSession::convertFolder(const QString& folder)
{
    const std::optional<ConversionSettings> settings = conversionSettings(folder);
    if (!settings)
        return ExitCode::Failure;
    const QString& target = m_request.output;
    if (QFileInfo(target).canonicalFilePath() == QFileInfo(folder).canonicalFilePath())
        return fail(QStringLiteral("%1 cannot take its own converted pictures: a bitmap could "
                                   "replace the picture it was made from; give another --output "
                                   "folder")
                        .arg(folder));
    if (!QDir().mkpath(target))
        return fail(QStringLiteral("cannot create the folder %1").arg(target));
    const QStringList sources = PicturesInFolder(folder);
    if (sources.isEmpty())
        return fail(QStringLiteral("%1 holds no picture this machine reads").arg(folder));

    const QList<ConvertedFile> results =
        ConvertPictureFiles(sources, ConvertedPaths(sources, target), *settings).results();
    qsizetype failed = 0;
    for (const ConvertedFile& file : results) {
        if (!file.error.isEmpty()) {
            fail(file.error);
            ++failed;
        }
    }
    PrintLine(
        stdout,
        QStringLiteral("%1 written to %2").arg(pictureCount(results.size() - failed), target));
    if (failed == 0)
        return ExitCode::Done;
    PrintLine(stdout, pictureCount(failed) + QStringLiteral(" could not be converted"));
    return ExitCode::Failure;
}

int CliSession::clear()
{
    QString address;
    if (const std::optional<int> failed = openAtAddress(address))
        return *failed;

    const ReplyOutcome replied = ClearAddress(m_link, m_request.withTypeLetter, address);
    printReply();
    if (const std::optional<int> blocked = lineBlocked())
        return finish(*blocked);
    const Outcome outcome = JudgeClear(replied, address, m_shell);
    if (!outcome.status.isEmpty())
        PrintLine(stdout, outcome.status);
    return finish(outcome.exitCode);
}

int CliSession::upload()
{
    QString address;
    if (const std::optional<int> failed = openAtAddress(address))
        return *failed;

    const UploadResult uploaded = UploadSwitchData(m_link, address);
    printReply();
    const int exitCode = exitCodeForAnswer(uploaded.outcome);
    if (exitCode == ExitCode::Done) {
        if (const QString problem = writeUpload(uploaded.data); !problem.isEmpty())
            return finish(fail(problem));
    }
    return finish(exitCode);
}

int CliSession::text()
{
    const QString path = m_request.arguments.constFirst();
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("cannot read %1: no such file").arg(path));
    if (ReadFileHeader(path) != RawDataHeader) {
        m_shell.message(QStringLiteral("File does not contain correct header."),
                        QStringLiteral("Downloading Error"), MessageIcon::Exclamation,
                        MessageButtons::Ok);
        PrintLine(stdout, QStringLiteral("Error while downloading"));
        return ExitCode::Failure;
    }
    if (const std::optional<int> failed = openPort())
        return *failed;

    // Every line is a transfer of its own; the worst answer is the command's outcome.
    int worst = ExitCode::Done;
    m_shell.setTransferEndHandler([this, &worst] {
        printReply();
        worst = std::max(worst, exitCodeForAnswer(ReadReplyCode(m_state)));
    });
    const TextFileSend sent = SendTextFile(m_link, path, m_request.asCharacters);
    m_shell.setTransferEndHandler(nullptr);
    if (sent == TextFileSend::Unreadable)
        return finish(fail(QStringLiteral("cannot read %1").arg(path)));
    if (sent == TextFileSend::Sent)
        PrintLine(stdout, DownloadedFilesText(1));
    return finish(worst);
}

int CliSession::attributes()
{
    if (m_request.address.isEmpty())
        return attributeFile();
    QString address;
    if (const std::optional<int> failed = openAtAddress(address))
        return *failed;

    PictureFileRecords records(2);
    records[1].TypeCode = m_request.typeCode;
    records[1].Attributes = m_request.arguments.constFirst().toUpper();
    const ReplyOutcome outcome = SendAttributeCommand(
        m_link,
        BuildAttributeCommand(m_request.withTypeLetter, m_request.typeCode, records, address, 1));
    printReply();
    if (const std::optional<int> blocked = lineBlocked())
        return finish(*blocked);
    switch (outcome) {
    case ReplyOutcome::Done:
        PrintLine(stdout, QStringLiteral("Attributes downloaded"));
        return finish(ExitCode::Done);
    case ReplyOutcome::Refused:
        ShowControllerError(m_shell, ReplyCodes::Refused);
        return finish(ExitCode::ControllerError);
    case ReplyOutcome::NotReady:
        PrintLine(stdout, QStringLiteral("No controller reply"));
        return finish(ExitCode::NoReply);
    default:
        ShowUnexpectedReply(m_shell);
        return finish(ExitCode::NoReply);
    }
}

int CliSession::attributeFile()
{
    const QString path = m_request.arguments.constFirst();
    if (!QFileInfo(path).isFile())
        return fail(QStringLiteral("cannot read %1: no such file").arg(path));
    const SavedAttributeJobs read = JobsFromSavedLines(
        ReadSavedLines(path, std::numeric_limits<int>::max()), m_request.typeCode,
        m_request.switches, m_request.withTypeLetter, m_request.start);
    if (!read.error.isEmpty())
        return fail(path + QStringLiteral(": ") + read.error);
    if (const std::optional<int> failed = openPort())
        return *failed;
    m_state.TypeCode = m_request.typeCode;
    AttributeLinePrinter printer(read.jobs);
    AttributeRun run(m_link, printer);
    run.DownloadRows(read.jobs);
    return finish(printer.worstExitCode());
}

// ---------------------------------------------------------------------------------------------
// Steps the commands share

int CliSession::requestedPortNumber()
{
    const QString& wanted = m_request.port;
    if (wanted == SimulatorPort) {
        return m_catalog.addPort(SimulatorPort, QStringLiteral("built-in virtual controller"),
                                 [this] { return simulatorPort(); });
    }
    m_catalog.addSystemPorts();
    bool isNumber = false;
    const int number = wanted.toInt(&isNumber);
    if (isNumber)
        return m_catalog.entry(number) ? number : 0;
    for (const PortEntry& entry : m_catalog.entries()) {
        if (sameDevice(entry.deviceName, wanted))
            return entry.number;
    }
    return m_catalog.addDevice(wanted);
}

std::unique_ptr<SerialPort> CliSession::simulatorPort()
{
    // Paced like a cable, so progress and timing are real. No transmit FIFO: the controller
    // tells raw text by the flow control, so every byte must have arrived before the link
    // switches it off again.
    auto port = std::make_unique<InProcessPort>(m_controller);
    port->setLineModel(true);
    return port;
}

std::optional<int> CliSession::openPort()
{
    const int number = requestedPortNumber();
    if (number == 0) {
        bool isNumber = false;
        m_request.port.toInt(&isNumber);
        return fail(isNumber ? QStringLiteral("there is no port %1; 'vantrel-cli ports' lists "
                                              "the ports")
                                   .arg(m_request.port)
                             : QStringLiteral("no free port number for %1: all %2 are taken")
                                   .arg(m_request.port)
                                   .arg(PortCatalog::MaxPorts));
    }
    SerialPort* port = m_catalog.port(number);
    if (!port->setBaudRate(m_request.speed) || !port->open()) {
        const PortError error = port->lastError();
        return fail(QStringLiteral("cannot open %1: %2 (%3)")
                        .arg(m_catalog.describe(number), openFailure(error, m_request.speed),
                             error.description));
    }
    m_state.RequestedPort = qint16(number);
    m_state.RequestedSpeed = m_request.speed;
    m_link.setPortNumber(number);
    if (!m_link.OpenPort())
        return fail(QStringLiteral("cannot open %1").arg(m_catalog.describe(number)));
    return std::nullopt;
}

std::optional<int> CliSession::openAtAddress(QString& address)
{
    m_state.TypeCode = m_request.typeCode;
    const std::optional<QString> checked = checkedAddress(m_request.typeCode);
    if (!checked)
        return ExitCode::Failure;
    address = *checked;
    return openPort();
}

std::optional<QString> CliSession::checkedAddress(qint16 typeCode)
{
    const int width = AddressWidth(typeCode);
    const HexFieldVerdict verdict =
        CheckHexField(PadAddress(m_request.address, width), width, HighestAddress(typeCode));
    if (!verdict.accepted) {
        fail(QStringLiteral("address %1 for %2: %3")
                 .arg(m_request.address, ControllerSettingText(typeCode), verdict.message));
        return std::nullopt;
    }
    m_state.CurrentAddress = verdict.text;
    return verdict.text;
}

std::optional<QString> CliSession::pictureData(const QString& path, const PictureSource& source)
{
    if (source.kind != PictureSource::Kind::Bitmap)
        return source.data;
    const int shown = m_shell.messageCount();
    const QString picture =
        EncodePictureFile(m_state.TypeCode, QFileInfo(path).absoluteFilePath(), m_state, m_shell);
    // Nothing is sent for a file that cannot be read, not even an LCD 36x24 picture's LED codes.
    if (m_shell.messageCount() > shown)
        return std::nullopt;
    return withLedColours(m_state.TypeCode, picture);
}

std::optional<ConversionSettings> CliSession::conversionSettings(const QString& input) const
{
    if (m_request.typeCode == 0) {
        fail(QStringLiteral("convert needs --type, the switch type to convert %1 for; usage: "
                            "vantrel-cli convert %2 --type T [conversion options] --output OUT")
                 .arg(input, QFileInfo(input).isDir() ? QStringLiteral("FOLDER")
                                                      : QStringLiteral("PICTURE")));
        return std::nullopt;
    }
    ConversionSettings settings = m_request.conversion.value_or(ConversionSettings());
    settings.typeCode = m_request.typeCode;
    return settings;
}

QString CliSession::withLedColours(qint16 typeCode, const QString& picture) const
{
    if (picture.isEmpty() || typeCode != SwitchTypeCode::Lcd36x24)
        return picture;
    return Lcd36x24PictureBlock(picture, m_request.ledOff, m_request.ledOn);
}

QString CliSession::writeUpload(const QByteArray& uploaded) const
{
    const QString& path = m_request.output;
    if (path.isEmpty()) {
        PrintLine(stdout, QString::fromLatin1(uploaded));
        return QString();
    }
    if (imageFormat(path).isEmpty() && !isSwitchDataName(path)) {
        if (QString problem = writeWholeFile(path, uploaded); !problem.isEmpty())
            return problem;
        PrintLine(stdout, QStringLiteral("Picture written to ") + path);
        return QString();
    }
    const QByteArray payload =
        QByteArray::fromHex(LeadingHexDigits(QString::fromLatin1(uploaded)).toLatin1());
    if (payload.size() != PayloadBytes(m_request.typeCode)) {
        return QStringLiteral("the controller sent %1 picture bytes; a %2 picture has %3")
            .arg(payload.size())
            .arg(ControllerSettingText(m_request.typeCode))
            .arg(PayloadBytes(m_request.typeCode));
    }
    return writePicture(m_request.typeCode, payload);
}

QString CliSession::writePicture(qint16 typeCode, const QByteArray& payload) const
{
    switch (outputKind(m_request.output)) {
    case OutputKind::Bitmap:
        return writeOutput(bitmapOfStoredPicture(typeCode, payload),
                           QStringLiteral("Bitmap written to "));
    case OutputKind::Image:
        return writeImage(DecodeSwitchPicture(typeCode, payload));
    case OutputKind::SwitchData:
        break;
    }
    return writeOutput(SwitchDataFileBytes(typeCode, payload),
                       QStringLiteral("Switch data written to "));
}

QString CliSession::writeConverted(qint16 typeCode, const QByteArray& bitmap) const
{
    switch (outputKind(m_request.output)) {
    case OutputKind::Bitmap:
        return writeOutput(bitmap, QStringLiteral("Bitmap written to "));
    case OutputKind::Image:
        return writeImage(SwitchViewOfBitmap(typeCode, bitmap, true));
    case OutputKind::SwitchData:
        break;
    }
    // As the switch data window saves a bitmap: through the type's encoder, "L to R" as set.
    BitmapImage image;
    ParseBitmap(bitmap, typeCode, image);
    const QString picture = PictureHexText(typeCode, image, m_state.LeftToRightFlag != 0);
    return writePicture(typeCode,
                        QByteArray::fromHex(withLedColours(typeCode, picture).toLatin1()));
}

QString CliSession::writeImage(const QImage& image) const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, imageFormat(m_request.output));
    if (!writer.write(image))
        return QStringLiteral("cannot write %1: %2").arg(m_request.output, writer.errorString());
    return writeOutput(bytes, QStringLiteral("Picture written to "));
}

QString CliSession::writeOutput(const QByteArray& bytes, const QString& outcome) const
{
    if (QString problem = writeWholeFile(m_request.output, bytes); !problem.isEmpty())
        return problem;
    PrintLine(stdout, outcome + m_request.output);
    return QString();
}

void CliSession::printReply() const
{
    PrintLine(stdout,
              QStringLiteral("Reply: ") +
                  (m_state.ReplyCode.isEmpty() ? QStringLiteral("none") : m_state.ReplyCode));
}

std::optional<int> CliSession::lineBlocked() const
{
    const std::optional<ControllerLink::LineBlock> block = m_link.lineBlocked();
    if (!block)
        return std::nullopt;
    PrintLine(stderr, QStringLiteral("vantrel-cli: ") + block->text().trimmed());
    return ExitCode::LineBlocked;
}

int CliSession::exitCodeForAnswer(ReplyOutcome answer) const
{
    return lineBlocked().value_or(ExitCodeForReply(answer));
}

int CliSession::fail(const QString& why) const
{
    PrintLine(stderr, QStringLiteral("vantrel-cli: ") + why);
    return ExitCode::Failure;
}

int CliSession::finish(int exitCode)
{
    if (m_request.traffic)
        PrintLine(stderr, m_shell.traffic());
    if (m_portLost) // the link has closed it and kept the system's reason
        return fail(m_shell.portStatus().trimmed());
    m_link.ClosePort();
    return exitCode;
}
