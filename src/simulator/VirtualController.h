#pragma once

#include "ControllerMemory.h"
#include "RawTextInput.h"
#include "SwitchForms.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <optional>
#include <utility>

// What the controller tells the query: 'a', the setting digit, the name, the version letter,
// the version, 'y'. The name should hold neither the version letter nor a lower-case 'y' or 'n',
// or the program reads the answer differently.
struct ControllerIdentity
{
    char settingDigit = '7'; // '0' "No Setting" .. '7' "All Switches"; other bytes are sent as is
    QByteArray name = "GLINTSIM";
    char versionLetter = 'V';
    QByteArray version = "1.00";
};

// Ways the controller can be told to misbehave, so that the program's failure paths can be tried.
enum class Misbehaviour {
    None,
    Silent,    // receives and stores as usual but never sends a byte
    RefuseAll, // answers every command with "n" (after its ready byte) and stores nothing
    NoReady,   // never sends the ready byte 'a'; everything else as usual
    Late,      // every answer leaves LateAnswerMs after it was due, past the reply window
    Garbage,   // every answer is replaced by noise that holds no 'a', 'y' or 'n'
};

struct AttributeRecord
{
    qint16 typeCode = 0; // 0 when neither a type letter nor the setting named the type
    quint16 address = 0;
    QByteArray digits; // the record's hex digits as received, after the address
};

struct ControllerCounters
{
    int queries = 0;
    int calls = 0;
    int resets = 0;
    int ledCommands = 0;
    int clears = 0;
    int picturesStored = 0;
    int picturesRefused = 0; // transfers answered "n": truncated, not hex, or told to fail
    int attributeRecords = 0;
    int uploads = 0;
    int textBlocks = 0;
    int textCharsLost = 0; // raw text that arrived while the input was full
    int xoffSent = 0;
    int unrecognised = 0;
};

// The virtual Glintkey controller without any transport: bytes from the program go in through
// receive(), answers come out through transmit(). Commands have no framing on the line, so the
// controller ends a command where its length is known, and otherwise after a quiet gap measured
// on the event loop (see ControllerTiming). Everything runs on the thread that owns it.
class VirtualController : public ControllerMemory
{
    Q_OBJECT
public:
    explicit VirtualController(QObject* parent = nullptr);

    // --- the line
    void receive(const QByteArray& bytes);
    // The program switches software flow control on only while it streams raw text, so bytes
    // that arrive meanwhile go to the raw-text input instead of the command reader.
    void setHostFlowControl(bool xonXoff);
    bool hostFlowControl() const { return m_hostXonXoff; }
    // The program has been quiet for long enough: ends the command in progress as it stands.
    // The controller's own gap timer calls it; tests call it to step without waiting.
    void lineIdle();
    // The transport tells whether bytes the program has sent are still on their way (written
    // but not yet received), so that a quiet gap is judged on the line and not on a clock that
    // also runs while the controller's own process waits for its turn.
    void setLineProbe(std::function<bool()> bytesOnTheWay)
    {
        m_bytesOnTheWay = std::move(bytesOnTheWay);
    }

    // --- configuration
    void setIdentity(const ControllerIdentity& identity) { m_identity = identity; }
    const ControllerIdentity& identity() const { return m_identity; }
    void setMisbehaviour(Misbehaviour misbehaviour) { m_misbehaviour = misbehaviour; }
    Misbehaviour misbehaviour() const { return m_misbehaviour; }
    // The next `count` picture transfers that would be stored are answered "n" instead.
    void failNextPictures(int count) { m_picturesToFail = count; }
    // Size of the raw-text input and how fast the controller empties it (both above 0).
    void setTextInput(int capacity, int charsPerSecond)
    {
        m_textInput.setSize(capacity, charsPerSecond);
    }

    // --- inspection
    std::optional<StoredPicture> picture(quint16 address, qint16 typeCode) const;
    // The picture stored last at this address number, whatever its type.
    std::optional<StoredPicture> latestPicture(quint16 address) const;
    QList<StoredPicture> pictures() const override;
    std::optional<AttributeRecord> attributeRecord(quint16 address) const;
    QList<AttributeRecord> attributeRecords() const;
    QByteArray rawText() const { return m_rawText; }
    QByteArray receivedBytes() const { return m_received; }
    QByteArray sentBytes() const { return m_sent; }
    const ControllerCounters& counters() const { return m_counters; }
    // Memory, logs, counters and the command in progress back to those of a fresh controller;
    // identity and misbehaviour stay.
    void forgetEverything();

Q_SIGNALS:
    void transmit(const QByteArray& bytes);
    // One line per command handled, for a person watching the controller.
    void activity(const QString& line);

private:
    enum class Phase { Idle, Fixed, Transfer, Burst, Text };
    struct Stored
    {
        StoredPicture picture;
        quint64 sequence = 0;
    };

    void take(char byte);
    void startCommand(char byte);
    void armGap();
    void onGapTick();
    void endCommand();

    void runFixedCommand();
    void runBurstCommand();
    void runQuery();
    void runClear(const QByteArray& command);
    void runAttribute(const QByteArray& command);
    void runUpload(const QByteArray& command);

    void startTransfer();
    void takeTransferByte(char byte);
    void sendReady();
    void finishTransfer();
    bool storePicture(const QByteArray& block);
    // The picture stored last at the address among the types of that address width (0: any).
    const Stored* latestStored(quint16 address, int addressDigits) const;

    void takeTextByte(char byte);
    void onTextFlowControl(char byte);
    void finishText();

    void answerOutcome(bool accepted, const QString& what);
    void answer(QByteArray reply);
    void sendFlowControl(char byte);
    void emitBytes(const QByteArray& bytes);
    bool refusing() const { return m_misbehaviour == Misbehaviour::RefuseAll; }

    ControllerIdentity m_identity;
    Misbehaviour m_misbehaviour = Misbehaviour::None;
    int m_picturesToFail = 0;

    Phase m_phase = Phase::Idle;
    QByteArray m_command; // the command in progress, its first byte included
    QTimer m_gap;
    std::function<bool()> m_bytesOnTheWay;
    QElapsedTimer m_quietClock;
    qint64 m_quietCountedMs = 0; // the quiet so far, a late tick's stretch counted in part
    qint64 m_lastTickMs = 0;

    // transfer in progress
    QList<PictureForm> m_forms;
    int m_blockStart = 1; // where the address digits begin in m_command
    bool m_readySent = false;
    qsizetype m_readyAt = 0; // the command's length when the ready byte went out

    // raw-text input
    bool m_hostXonXoff = false;
    RawTextInput m_textInput;
    bool m_textBlockLost = false;

    std::map<std::pair<qint16, quint16>, Stored> m_pictures;
    std::map<quint16, AttributeRecord> m_attributes;
    quint64 m_storeSequence = 0;
    QByteArray m_rawText;
    QByteArray m_received;
    QByteArray m_sent;
    ControllerCounters m_counters;
    int m_noiseIndex = 0;
};
