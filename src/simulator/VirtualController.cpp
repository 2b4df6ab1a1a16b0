#include "VirtualController.h"

#include "AppState.h"
#include "ControllerTiming.h"
#include "Conversions.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr char Ready = 'a';
constexpr char Done = 'y';
constexpr char Error = 'n';
constexpr char Xon = 0x11;
constexpr char Xoff = 0x13;
constexpr char Call = 0x01;
constexpr char Reset = '$';
constexpr char TransferStart = '(';
constexpr char AttributeStart = '*';
constexpr char UploadStart = ')';

// Unrecognised input is read to its end but kept only this far.
constexpr int LongestBurst = 4096;

const QByteArray QueryCommand = QByteArrayLiteral("&RX");
const QByteArray ClearStart = QByteArrayLiteral("'C");
const QByteArray ClearTail = QByteArrayLiteral("0000");
// The LED tester: off, green, red, amber, all on, all off, tester reset.
const QByteArray LedCommands[] = {QByteArrayLiteral("&FX"),    QByteArrayLiteral("&CX"),
                                  QByteArrayLiteral("&DX"),    QByteArrayLiteral("&EX"),
                                  QByteArrayLiteral("'0101"),  QByteArrayLiteral("'0100"),
                                  QByteArrayLiteral("&O\x1B$")};

// What the garbage misbehaviour sends: none of the bytes the program reads meaning into
// ('a', 'y', 'n', XON, XOFF).
constexpr char Noise[] = {'\x00', '\xFF', '\x3F', '\x80', '\x9C', '#', '\r', 'Z', '\x7F', '1'};

// Length of a command whose first bytes fix it; -1 while its second byte is still to come, 0 for
// commands of open length.
int fixedLength(const QByteArray& command)
{
    switch (command.at(0)) {
    case Call:
    case Reset:
        return 1;
    case '&': // query and LED colours "&?X", the tester reset "&O" ESC "$"
        return command.size() < 2 ? -1 : command.at(1) == 'O' ? 4 : 3;
    case '\'': // clear "'C" + 4 address digits + "0000", LEDs on and off "'010?"
        return command.size() < 2 ? -1 : command.at(1) == 'C' ? 10 : 5;
    default:
        return 0;
    }
}

QString shown(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QByteArray hex4(int value)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(4, '0');
}

} // namespace

VirtualController::VirtualController(QObject* parent)
    : ControllerMemory(parent)
{
    m_gap.setTimerType(Qt::PreciseTimer);
    m_gap.setInterval(ControllerTiming::GapTickMs);
    connect(&m_gap, &QTimer::timeout, this, &VirtualController::onGapTick);
    connect(&m_textInput, &RawTextInput::flowControl, this, &VirtualController::onTextFlowControl);
}

void VirtualController::receive(const QByteArray& bytes)
{
    m_received += bytes;
    for (const char byte : bytes)
        take(byte);
    armGap();
}

void VirtualController::setHostFlowControl(bool xonXoff)
{
    m_hostXonXoff = xonXoff;
}

void VirtualController::lineIdle()
{
    switch (m_phase) {
    case Phase::Idle:
        return;
    case Phase::Fixed:
        endCommand();
        ++m_counters.unrecognised;
        answer(QByteArray(1, Error));
        Q_EMIT activity(QStringLiteral("truncated command: n"));
        return;
    case Phase::Burst:
        runBurstCommand();
        return;
    case Phase::Transfer: {
        // A header without a type letter, when the setting leaves its type open: the burst
        // that ended is the address, so its width is now known.
        const int digits = m_command.size() - m_blockStart;
        const bool headerEnded = !m_readySent && SharedAddressDigits(m_forms) == 0 &&
                                 std::any_of(m_forms.begin(), m_forms.end(), [&](const auto& f) {
                                     return f.addressDigits == digits;
                                 });
        if (headerEnded) {
            m_forms.removeIf(
                [digits](const PictureForm& form) { return form.addressDigits != digits; });
            sendReady();
            armGap();
        } else {
            finishTransfer();
        }
        return;
    }
    case Phase::Text:
        // The program is only waiting for room: the block goes on after XON.
        if (m_textInput.pauseRequested())
            armGap();
        else
            finishText();
        return;
    }
}

void VirtualController::take(char byte)
{
    switch (m_phase) {
    case Phase::Idle:
        startCommand(byte);
        break;
    case Phase::Fixed:
        m_command += byte;
        if (m_command.size() == fixedLength(m_command))
            runFixedCommand();
        break;
    case Phase::Transfer:
        takeTransferByte(byte);
        break;
    case Phase::Burst:
        if (m_command.size() < LongestBurst)
            m_command += byte;
        break;
    case Phase::Text:
        takeTextByte(byte);
        break;
    }
}

void VirtualController::startCommand(char byte)
{
    if (m_hostXonXoff) {
        m_phase = Phase::Text;
        takeTextByte(byte);
        return;
    }
    if (byte == Xon || byte == Xoff) // the program's own flow control, not a command
        return;
    m_command = QByteArray(1, byte);
    if (byte == TransferStart) {
        startTransfer();
        return;
    }
    const int length = fixedLength(m_command);
    m_phase = length == 0 ? Phase::Burst : Phase::Fixed;
    if (length == 1)
        runFixedCommand();
}

void VirtualController::armGap()
{
    if (m_phase == Phase::Idle) {
        m_gap.stop();
        return;
    }
    m_quietClock.start();
    m_quietCountedMs = 0;
    m_lastTickMs = 0;
    if (!m_gap.isActive())
        m_gap.start();
}

void VirtualController::onGapTick()
{
    const bool data = m_phase == Phase::Text || (m_phase == Phase::Transfer && m_readySent);
    const bool awaitingData =
        m_phase == Phase::Transfer && m_readySent && m_command.size() == m_readyAt;
    const int gapMs = awaitingData ? ControllerTiming::FirstDataGapMs
                      : data       ? ControllerTiming::DataGapMs
                                   : ControllerTiming::CommandGapMs;
    // A tick that comes much later than due means this process was not running (and in the
    // program's own process, neither was the sender): that stretch counts only in part. Bytes
    // still on their way mean the program has not stopped: only this process was late.
    const qint64 nowMs = m_quietClock.elapsed();
    m_quietCountedMs +=
        std::min<qint64>(nowMs - m_lastTickMs, ControllerTiming::LongestTickCreditMs);
    m_lastTickMs = nowMs;
    if (m_quietCountedMs < gapMs || (m_bytesOnTheWay && m_bytesOnTheWay()))
        return;
    m_gap.stop();
    lineIdle();
}

void VirtualController::endCommand()
{
    m_phase = Phase::Idle;
    m_command.clear();
    m_readySent = false;
}

void VirtualController::runFixedCommand()
{
    const QByteArray command = m_command;
    endCommand();
    if (command.at(0) == Call) {
        ++m_counters.calls;
        answerOutcome(true, QStringLiteral("call"));
    } else if (command.at(0) == Reset) {
        ++m_counters.resets;
        answerOutcome(true, QStringLiteral("reset"));
    } else if (command == QueryCommand) {
        runQuery();
    } else if (std::find(std::begin(LedCommands), std::end(LedCommands), command) !=
               std::end(LedCommands)) {
        ++m_counters.ledCommands;
        answerOutcome(true, QStringLiteral("LED test ") + shown(command));
    } else if (command.startsWith(ClearStart)) {
        runClear(command);
    } else {
        ++m_counters.unrecognised;
        answer(QByteArray(1, Error));
        Q_EMIT activity(QStringLiteral("unrecognised ") + shown(command) + QStringLiteral(": n"));
    }
}

void VirtualController::runBurstCommand()
{
    const QByteArray command = m_command;
    endCommand();
    if (command.at(0) == AttributeStart) {
        runAttribute(command);
    } else if (command.at(0) == UploadStart) {
        runUpload(command);
    } else {
        ++m_counters.unrecognised;
        answer(QByteArray(1, Error));
        Q_EMIT activity(QStringLiteral("unrecognised %1 bytes: n").arg(command.size()));
    }
}

void VirtualController::runQuery()
{
    ++m_counters.queries;
    if (refusing()) {
        answerOutcome(false, QStringLiteral("query"));
        return;
    }
    answer(QByteArray(1, Ready) + m_identity.settingDigit + m_identity.name +
           m_identity.versionLetter + m_identity.version + Done);
    Q_EMIT activity(QStringLiteral("query answered"));
}

void VirtualController::runClear(const QByteArray& command)
{
    ++m_counters.clears;
    const QByteArray address = command.mid(ClearStart.size(), 4);
    const bool wellFormed = IsHexDigits(address) && command.mid(6) == ClearTail;
    const QString what = QStringLiteral("clear ") + QString::fromLatin1(address);
    if (!wellFormed || refusing()) {
        answerOutcome(false, what);
        return;
    }
    const quint16 number = address.toUShort(nullptr, 16);
    for (qint16 type = SwitchTypeCode::Oled64x48; type <= SwitchTypeCode::Color96x64; ++type)
        m_pictures.erase({type, number});
    Q_EMIT memoryChanged();
    answerOutcome(true, what);
}

void VirtualController::runAttribute(const QByteArray& command)
{
    QByteArray rest = command.mid(1);
    qint16 type = TypeFromLetter(rest.isEmpty() ? '\0' : rest.at(0));
    if (type != 0)
        rest.remove(0, 1);
    else
        type = TypeFromSettingDigit(m_identity.settingDigit);
    const int width = type != 0 ? AddressWidth(type) : GuessAttributeAddressDigits(rest.size());
    const QByteArray address = rest.left(width);
    const QByteArray digits = rest.mid(width);
    const bool wellFormed = address.size() == width && IsHexDigits(rest) &&
                            AttributeRecordFits(type, width, digits.size());
    const QString what = QStringLiteral("attributes at ") + QString::fromLatin1(address);
    if (!wellFormed || refusing()) {
        answerOutcome(false, what);
        return;
    }
    const quint16 number = address.toUShort(nullptr, 16);
    m_attributes[number] = {type, number, digits};
    ++m_counters.attributeRecords;
    answerOutcome(true, what);
}

void VirtualController::runUpload(const QByteArray& command)
{
    ++m_counters.uploads;
    const QByteArray address = command.mid(1);
    const int width = address.size();
    const QString what = QStringLiteral("upload ") + QString::fromLatin1(address);
    const Stored* found = nullptr;
    if ((width == 2 || width == 4) && IsHexDigits(address))
        found = latestStored(address.toUShort(nullptr, 16), width);
    if (!found || refusing()) {
        answerOutcome(false, what);
        return;
    }
    // Eleven leading bytes: ready, type letter, address and byte count as four hex digits each,
    // and a colon; then the picture as hex digits and the final 'y', all in one write.
    const StoredPicture& picture = found->picture;
    answer(QByteArray(1, Ready) + LetterForType(picture.typeCode) + hex4(picture.address) +
           hex4(int(picture.payload.size())) + ':' + picture.payload.toHex().toUpper() + Done);
    Q_EMIT activity(what + QStringLiteral(": sent"));
}

void VirtualController::startTransfer()
{
    m_phase = Phase::Transfer;
    m_forms = PictureFormsFor(TypeFromSettingDigit(m_identity.settingDigit));
    m_blockStart = 1;
    m_readySent = false;
}

void VirtualController::takeTransferByte(char byte)
{
    const qint16 letterType = TypeFromLetter(byte);
    if (m_command.size() == 1 && letterType != 0) {
        m_command += byte;
        m_forms = PictureFormsFor(letterType);
        m_blockStart = 2;
        return;
    }
    m_command += byte;
    const int digits = m_command.size() - m_blockStart;
    if (!m_readySent && digits == SharedAddressDigits(m_forms))
        sendReady();
    if (digits >= LongestForm(m_forms))
        finishTransfer();
}

void VirtualController::sendReady()
{
    m_readySent = true;
    m_readyAt = m_command.size();
    answer(QByteArray(1, Ready));
}

void VirtualController::finishTransfer()
{
    const QByteArray block = m_command.mid(m_blockStart);
    const bool readySent = m_readySent;
    endCommand();
    const bool stored = storePicture(block);
    answer((readySent ? QByteArray() : QByteArray(1, Ready)) + (stored ? Done : Error));
}

bool VirtualController::storePicture(const QByteArray& block)
{
    const std::optional<PictureForm> form = FormWithTotal(m_forms, int(block.size()));
    if (!form || !IsHexDigits(block)) {
        ++m_counters.picturesRefused;
        Q_EMIT activity(QStringLiteral("picture of %1 digits refused: n").arg(block.size()));
        return false;
    }
    const QByteArray address = block.left(form->addressDigits);
    const QString what = QStringLiteral("picture %1 at %2")
                             .arg(TypeName(form->typeCode), QString::fromLatin1(address));
    if (refusing() || m_picturesToFail > 0) {
        m_picturesToFail = std::max(0, m_picturesToFail - 1);
        ++m_counters.picturesRefused;
        Q_EMIT activity(what + QStringLiteral(" refused as told: n"));
        return false;
    }
    const quint16 number = address.toUShort(nullptr, 16);
    const StoredPicture picture{form->typeCode, number,
                                QByteArray::fromHex(block.mid(form->addressDigits))};
    m_pictures[{form->typeCode, number}] = {picture, ++m_storeSequence};
    ++m_counters.picturesStored;
    Q_EMIT memoryChanged();
    Q_EMIT activity(what + QStringLiteral(" stored: y"));
    return true;
}

void VirtualController::takeTextByte(char byte)
{
    if (!m_textInput.take()) {
        ++m_counters.textCharsLost;
        m_textBlockLost = true;
        return;
    }
    m_rawText += byte;
}

void VirtualController::onTextFlowControl(char byte)
{
    if (byte == Xoff)
        ++m_counters.xoffSent;
    sendFlowControl(byte);
    // After XON the program gets a whole gap to go on before the block counts as ended.
    if (byte == Xon)
        armGap();
}

void VirtualController::finishText()
{
    const bool lost = m_textBlockLost;
    m_textBlockLost = false;
    endCommand();
    ++m_counters.textBlocks;
    answer(QByteArray(1, lost ? Error : Done));
    Q_EMIT activity(lost ? QStringLiteral("raw text overflowed: n")
                         : QStringLiteral("raw text received: y"));
}

void VirtualController::answerOutcome(bool accepted, const QString& what)
{
    const bool yes = accepted && !refusing();
    answer(QByteArray(1, Ready) + (yes ? Done : Error));
    Q_EMIT activity(what + (yes ? QStringLiteral(": y") : QStringLiteral(": n")));
}

void VirtualController::answer(QByteArray reply)
{
    switch (m_misbehaviour) {
    case Misbehaviour::Silent:
        return;
    case Misbehaviour::NoReady:
        if (reply.startsWith(Ready))
            reply.remove(0, 1);
        break;
    case Misbehaviour::Garbage:
        for (char& byte : reply)
            byte = Noise[m_noiseIndex++ % int(sizeof Noise)];
        break;
    default:
        break;
    }
    if (reply.isEmpty())
        return;
    if (m_misbehaviour == Misbehaviour::Late) {
        QTimer::singleShot(ControllerTiming::LateAnswerMs, Qt::PreciseTimer, this,
                           [this, reply] { emitBytes(reply); });
        return;
    }
    emitBytes(reply);
}

void VirtualController::sendFlowControl(char byte)
{
    // Flow control is the line's business: only a controller that sends nothing at all
    // withholds it.
    if (m_misbehaviour != Misbehaviour::Silent)
        emitBytes(QByteArray(1, byte));
}

void VirtualController::emitBytes(const QByteArray& bytes)
{
    m_sent += bytes;
    Q_EMIT transmit(bytes);
}

std::optional<StoredPicture> VirtualController::picture(quint16 address, qint16 typeCode) const
{
    const auto it = m_pictures.find({typeCode, address});
    if (it == m_pictures.end())
        return std::nullopt;
    return it->second.picture;
}

const VirtualController::Stored* VirtualController::latestStored(quint16 address,
                                                                 int addressDigits) const
{
    const Stored* latest = nullptr;
    for (const auto& [key, stored] : m_pictures) {
        const bool fits = addressDigits == 0 || AddressWidth(key.first) == addressDigits;
        if (key.second == address && fits && (!latest || stored.sequence > latest->sequence))
            latest = &stored;
    }
    return latest;
}

std::optional<StoredPicture> VirtualController::latestPicture(quint16 address) const
{
    const Stored* latest = latestStored(address, 0);
    if (!latest)
        return std::nullopt;
    return latest->picture;
}

QList<StoredPicture> VirtualController::pictures() const
{
    QList<StoredPicture> all;
    for (const auto& entry : m_pictures)
        all.append(entry.second.picture);
    return all;
}

std::optional<AttributeRecord> VirtualController::attributeRecord(quint16 address) const
{
    const auto it = m_attributes.find(address);
    if (it == m_attributes.end())
        return std::nullopt;
    return it->second;
}

QList<AttributeRecord> VirtualController::attributeRecords() const
{
    QList<AttributeRecord> all;
    for (const auto& entry : m_attributes)
        all.append(entry.second);
    return all;
}

void VirtualController::forgetEverything()
{
    endCommand();
    m_gap.stop();
    m_textInput.clear();
    m_textBlockLost = false;
    m_picturesToFail = 0;
    m_pictures.clear();
    m_attributes.clear();
    m_rawText.clear();
    m_received.clear();
    m_sent.clear();
    m_counters = {};
    Q_EMIT memoryChanged();
}
