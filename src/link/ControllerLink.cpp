#include "ControllerLink.h"

#include "ControllerOperations.h"
#include "ControllerQuery.h"
#include "Conversions.h"
#include "LinkTiming.h"
#include "PortCatalog.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>

#include <algorithm>

namespace {

const QString DownloadsTitle = QStringLiteral("Downloads");
const QString ClosingProgram = QStringLiteral("Closing program.");
const QString CrLf = QStringLiteral("\r\n");

constexpr qint64 NsPerMs = 1'000'000;
// The query's answer is at least this long; anything shorter is no reply.
constexpr int QueryThreshold = 10;

QString portText(int number)
{
    return QString::number(number);
}

// The monotonic clock the line-time account runs on.
qint64 nowNs()
{
    return QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs();
}

} // namespace

ControllerLink::ControllerLink(AppState& state, PortCatalog& catalog, LinkShell& shell,
                               QObject* parent)
    : QObject(parent)
    , m_state(state)
    , m_catalog(catalog)
    , m_shell(shell)
{
    m_receiveIdle.setSingleShot(true);
    m_receiveIdle.setTimerType(Qt::PreciseTimer);
    connect(&m_receiveIdle, &QTimer::timeout, this, &ControllerLink::deliverReceived);
}

ControllerLink::~ControllerLink()
{
    abandonWaits();
}

// ---------------------------------------------------------------------------------------------
// The port

bool ControllerLink::EnumeratePorts()
{
    m_state.PortList = QStringList{QString(), QString()};
    int count = 0;
    for (int number = 1; number <= PortCatalog::MaxPorts; ++number) {
        SerialPort* port = m_catalog.port(number);
        if (!port || port->isOpen() || !port->open())
            continue;
        ++count;
        m_state.PortList.resize(count + 1);
        m_state.PortList[count] = portText(number);
        port->close();
    }
    if (count == 0)
        return false;
    setPortNumber(m_state.PortList.at(1).toInt());
    return true;
}

void ControllerLink::refreshPorts(const PortEnumerator& enumerator)
{
    const PortChanges changes = m_catalog.refresh(enumerator);
    for (const int number : changes.arrived)
        insertIntoPortList(number);
    if (changes.any)
        Q_EMIT portListChanged();
}

void ControllerLink::listPort(int number)
{
    insertIntoPortList(number);
    Q_EMIT portListChanged();
}

void ControllerLink::insertIntoPortList(int number)
{
    QStringList& list = m_state.PortList;
    if (list.contains(portText(number)))
        return;
    // Element 0 is unused and the list may end in an empty element.
    qsizetype at = 1;
    while (at < list.size() && !list.at(at).isEmpty() && list.at(at).toInt() < number)
        ++at;
    list.insert(at, portText(number));
}

void ControllerLink::setPortNumber(int number)
{
    m_portNumber = number;
    attach(m_catalog.port(number));
}

void ControllerLink::attach(SerialPort* port)
{
    if (port == m_port)
        return;
    if (m_port)
        m_port->disconnect(this);
    m_port = port;
    if (!m_port)
        return;
    connect(m_port, &SerialPort::readyRead, this, &ControllerLink::onReadyRead);
    connect(m_port, &SerialPort::bytesWritten, this, &ControllerLink::wakeWaits);
    connect(m_port, &SerialPort::failed, this, &ControllerLink::onPortFailed);
}

bool ControllerLink::isPortOpen() const
{
    return m_port && m_port->isOpen();
}

qint64 ControllerLink::bytesToWrite() const
{
    return isPortOpen() ? m_port->bytesToWrite() : 0;
}

bool ControllerLink::OpenPort()
{
    const qint16 oldPort = m_state.OpenPortNumber;
    m_state.OpenPortNumber = m_state.RequestedPort;
    m_state.OpenPortSpeed = m_state.RequestedSpeed;
    const QString n = portText(m_state.OpenPortNumber);

    if (isPortOpen()) {
        if (m_portNumber == m_state.OpenPortNumber) {
            setPortStatus(QStringLiteral(" Communication port COM%1 is already open.").arg(n));
        } else {
            setPortStatus(QString());
            m_port->close();
        }
    }
    setPortNumber(m_state.OpenPortNumber);
    if (!m_port) {
        handleOpenError({PortErrorClass::NoSuchPort, 0, QStringLiteral("The port does not exist.")},
                        oldPort);
        return false;
    }
    if (!m_port->setBaudRate(m_state.OpenPortSpeed) || (!m_port->isOpen() && !m_port->open())) {
        handleOpenError(m_port->lastError(), oldPort);
        return false;
    }
    m_line.setSpeed(m_state.OpenPortSpeed);
    setPortStatus(openStatusText());
    pumpMessages();
    return true;
}

void ControllerLink::handleOpenError(const PortError& error, qint16 oldPort)
{
    const QString n = portText(m_state.OpenPortNumber);
    const QString detail =
        QStringLiteral("An error occured while opening COM port: %1").arg(n) + CrLf +
        QStringLiteral("Error: %1 Number: %2").arg(error.description).arg(error.number);
    switch (error.kind) {
    case PortErrorClass::NoSuchPort:
        setPortStatus(QStringLiteral("Error opening COM port: %1").arg(n));
        m_shell.message(detail, DownloadsTitle, MessageIcon::Exclamation);
        if (m_screen)
            m_screen->setPortChoice(oldPort);
        m_state.RequestedPort = oldPort;
        if (++m_openRetries >= 2) {
            m_shell.message(ClosingProgram, DownloadsTitle, MessageIcon::Exclamation);
            m_shell.endProgram();
            return;
        }
        OpenPort();
        m_openRetries = 0;
        return;
    case PortErrorClass::InUse:
        m_shell.message(QStringLiteral("Communication port COM%1 is exclusively accessed by "
                                       "another application.")
                                .arg(n) +
                            CrLf + ClosingProgram,
                        DownloadsTitle, MessageIcon::Information);
        break;
    default:
        setPortStatus(QStringLiteral("Error opening COM port: %1").arg(n));
        m_shell.message(detail + CrLf + ClosingProgram, DownloadsTitle, MessageIcon::Exclamation);
        break;
    }
    m_shell.endProgram();
}

bool ControllerLink::ClosePort()
{
    const QString n = portText(m_state.OpenPortNumber);
    if (isPortOpen()) {
        m_port->close();
        setPortStatus(QStringLiteral(" Communication port COM%1 is closed.").arg(n));
    } else {
        setPortStatus(QStringLiteral(" Communication port COM%1 is not open.").arg(n));
    }
    m_receiveIdle.stop();
    m_line.reset();
    return true;
}

void ControllerLink::reopenFor(LinkScreen* screen)
{
    setActiveScreen(screen);
    ClosePort();
    setPortNumber(m_state.RequestedPort);
    OpenPort();
}

void ControllerLink::setReceiveThreshold(int bytes, ShortReplies shortReplies)
{
    m_receiveThreshold = qMax(1, bytes);
    m_shortReplies = shortReplies;
    m_deliveredSinceThreshold = false;
    // Bytes held back under a higher threshold come out on a later pass, after the caller has
    // judged the command they were held for.
    if (isPortOpen() && m_port->bytesAvailable() > 0)
        m_receiveIdle.start(LinkTiming::ReceiveIdleGapMs);
}

void ControllerLink::setFlowControl(FlowControl flow)
{
    if (m_port)
        m_port->setFlowControl(flow);
}

void ControllerLink::onPortFailed(const PortError& error)
{
    if (m_port)
        m_port->close();
    m_line.reset();
    setPortStatus(QStringLiteral(" Communication port COM%1 was lost: %2")
                      .arg(portText(m_state.OpenPortNumber), error.description));
    wakeWaits();
    Q_EMIT portLost(error);
}

QString ControllerLink::openStatusText() const
{
    return QStringLiteral(" Communication port COM%1 is open.").arg(m_state.OpenPortNumber);
}

void ControllerLink::setPortStatus(const QString& text)
{
    if (m_screen)
        m_screen->setPortStatus(text);
}

void ControllerLink::appendTraffic(const QString& text, TrafficDirection direction)
{
    if (m_screen)
        m_screen->appendTraffic(text, direction);
}

// ---------------------------------------------------------------------------------------------
// Commands and replies

void ControllerLink::SendBytes(const QByteArray& chars)
{
    if (!isPortOpen()) {
        setPortStatus(QStringLiteral(" Communication port is not open."));
        return;
    }
    const qint64 written = m_port->write(chars);
    if (written > 0) {
        m_line.wrote(written, nowNs());
        m_commandBytes += written;
    }
    if (m_screen && m_screen->displayData() == 1)
        LogSentBytes(chars);
    setPortStatus(QStringLiteral("Sending data to switches..."));
}

void ControllerLink::LogSentBytes(const QByteArray& chars)
{
    // Data pieces are hex digits already; echoing them as they are keeps long transfers fast.
    if (m_state.DataPhase)
        appendTraffic(QString::fromLatin1(chars) + QLatin1Char(' '), TrafficDirection::Sent);
    else
        appendTraffic(BytesToHexPairs(chars), TrafficDirection::Sent);
}

void ControllerLink::SendHexCommand(const QString& commandText)
{
    if (commandText.isEmpty())
        return;
    m_shell.setBusyCursor(true);
    m_shell.setPanelText(2, QStringLiteral("Sending Command"));
    m_shell.setPanelText(4, QString());
    beginCommand();

    QString text;
    for (QChar c : commandText) {
        if (c.unicode() > 32)
            text += c;
    }
    QByteArray bytes;
    if (IsHexText(text)) {
        if (text.size() % 2 != 0) {
            m_shell.message(QStringLiteral("Hex input must be even number of nibbles."),
                            QStringLiteral("Manual Command Message"), MessageIcon::Information);
            m_shell.setBusyCursor(false);
            m_state.BusyFlag = false;
            return;
        }
        bytes = HexToBytes(text);
    } else {
        bytes = text.toLatin1();
    }

    if (m_state.CancelFlag) {
        m_shell.setPanelText(2, QStringLiteral("Command Canceled"));
    } else {
        appendTraffic(CrLf, TrafficDirection::Sent);
        const int savedDisplayData = m_screen ? m_screen->displayData() : 0;
        if (m_screen)
            m_screen->setDisplayData(1);
        m_state.ReadyReceived = false;
        SendBytes(bytes);
        if (m_screen)
            m_screen->setDisplayData(savedDisplayData);
        m_shell.setPanelText(2, QStringLiteral("Command Sent"));
        setPortStatus(
            QStringLiteral(" Communication port COM%1 is open.").arg(m_state.RequestedPort));
        appendTraffic(QStringLiteral("   "), TrafficDirection::Sent);
        m_shell.beep();
    }
    m_shell.setBusyCursor(false);
    m_state.BusyFlag = false;
    m_state.CancelFlag = false;
}

void ControllerLink::beginCommand()
{
    m_state.ReplyCode.clear();
    m_state.ReadyReceived = false;
    m_lineBlock.reset();
    m_commandBytes = 0;
}

void ControllerLink::onReadyRead()
{
    if (!m_port)
        return;
    if (m_port->bytesAvailable() >= m_receiveThreshold)
        deliverReceived();
    else if (m_shortReplies == ShortReplies::AfterIdleGap || m_deliveredSinceThreshold)
        m_receiveIdle.start(LinkTiming::ReceiveIdleGapMs);
}

void ControllerLink::deliverReceived()
{
    m_receiveIdle.stop();
    if (!isPortOpen())
        return;
    m_deliveredSinceThreshold = true;
    ReceiveData(m_port->readAll());
}

void ControllerLink::ReceiveData(const QByteArray& chunk)
{
    if (m_state.ControllerCheckFlag == 0 || chunk.isEmpty())
        return;
    m_state.RawReply += chunk;
    // Only a chunk that begins with the ready byte counts as "ready".
    if (chunk.front() == 'a') {
        m_state.ReadyReceived = true;
        m_state.ReadySeen = true;
    }
    for (char byte : chunk) {
        if (byte == 'n')
            m_state.ReplyCode = ReplyCodes::Refused;
        else if (byte == 'y')
            m_state.ReplyCode = ReplyCodes::Done;
    }
    m_state.ReceivedByteCount += chunk.size();
    const QString line = BytesToHexPairs(chunk);
    m_state.ReplyLog += line;
    if (!m_state.HideReceived)
        appendTraffic(line, TrafficDirection::Received);
    wakeWaits();
}

// ---------------------------------------------------------------------------------------------
// Waiting

bool ControllerLink::waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    m_waits.push_back(&loop);
    bool reached = done();
    while (!reached && !m_abandoned) {
        const qint64 remaining = timeoutMs - clock.elapsed();
        if (remaining <= 0)
            break;
        deadline.start(int(remaining));
        if (loop.exec() < 0) // the application is quitting: no event loop runs any more
            m_abandoned = true;
        reached = done();
    }
    m_waits.erase(std::find(m_waits.begin(), m_waits.end(), &loop));
    return reached;
}

void ControllerLink::wakeWaits()
{
    for (QEventLoop* loop : m_waits)
        loop->quit();
}

bool ControllerLink::WaitForReply()
{
    const auto answered = [this] {
        return m_state.CancelFlag || m_state.ReplyCode == ReplyCodes::Done ||
               m_state.ReplyCode == ReplyCodes::Refused;
    };
    // A command the line does not take cannot be answered: no window opens for it.
    if (waitForLineClear(answered) == LineState::Blocked) {
        noteBlocked(m_commandBytes - bytesToWrite(), m_commandBytes);
        m_state.ReplyCode = ReplyCodes::NoReply;
        return false;
    }
    Q_EMIT replyWindowOpened();
    const bool ended = waitFor(answered, LinkTiming::ReplyWindowMs);
    if (!ended) {
        m_state.ReplyCode = ReplyCodes::NoReply;
        return false;
    }
    return !m_state.CancelFlag;
}

void ControllerLink::WaitForReady()
{
    pumpMessages();
    const auto ready = [this] { return m_state.ControllerCheckFlag == 0 || m_state.ReadySeen; };
    waitForLineClear(ready);
    waitFor(ready, LinkTiming::ReadyWindowMs);
    m_state.ReadySeen = false;
}

bool ControllerLink::ShortDelay()
{
    waitFor([] { return false; }, LinkTiming::ShortDelayMs);
    return true;
}

ControllerLink::LineState ControllerLink::WaitForEmptyOutput(int aheadMs)
{
    return waitForLine(aheadMs * NsPerMs, nullptr);
}

ControllerLink::LineState ControllerLink::waitForLineClear(const std::function<bool()>& answered)
{
    return waitForLine(0, answered);
}

void ControllerLink::noteBlocked(qint64 sent, qint64 total)
{
    m_lineBlock = LineBlock{LinkTiming::OutputStallLimitMs / 1000, sent, total};
    m_port->discardOutput();
    m_line.reset();
    setPortStatus(m_lineBlock->text());
}

ControllerLink::LineState ControllerLink::waitForLine(qint64 allowedNs,
                                                      const std::function<bool()>& answered)
{
    const qint64 characterNs = m_line.characterNs();
    const qint64 allowedCharacters = characterNs > 0 ? allowedNs / characterNs : 0;
    qint64 pending = bytesToWrite();
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    const auto settled = [&] { return !isPortOpen() || m_abandoned || (answered && answered()); };
    while (!settled()) {
        const qint64 backlog = m_line.backlogNs(nowNs());
        if (pending <= allowedCharacters && backlog <= allowedNs)
            return LineState::Clear;
        // Only a count that does not move is a stall; the account always runs down by itself.
        if (pending > allowedCharacters &&
            sinceProgress.elapsed() >= LinkTiming::OutputStallLimitMs)
            return LineState::Blocked;
        const int timeoutMs = pending > allowedCharacters
                                  ? LinkTiming::OutputPollMs
                                  : int((backlog - allowedNs + NsPerMs - 1) / NsPerMs);
        waitFor([&] { return settled() || bytesToWrite() != pending; }, timeoutMs);
        const qint64 now = bytesToWrite();
        if (now != pending) {
            pending = now;
            sinceProgress.restart();
        }
    }
    return isPortOpen() && !m_abandoned ? LineState::Clear : LineState::Lost;
}

void ControllerLink::pumpMessages()
{
    QCoreApplication::processEvents();
}

void ControllerLink::requestCancel()
{
    m_state.CancelFlag = true;
    wakeWaits();
}

void ControllerLink::requestStop()
{
    m_state.StopTransferFlag = true;
    wakeWaits();
}

void ControllerLink::abandonWaits()
{
    m_abandoned = true;
    wakeWaits();
}

void ControllerLink::QueryController()
{
    // The reply arrives as one chunk that begins with 'a'; a shorter answer is no reply at all.
    setReceiveThreshold(QueryThreshold, ShortReplies::Held);
    SendHexCommand(QStringLiteral("265258"));
    WaitForReply();
    setReceiveThreshold(1);

    if (!m_state.ReadyReceived) {
        m_state.ControllerInfo = QStringList{QString()};
        if (m_screen) {
            m_screen->setControllerName(QStringLiteral("No Reply"));
            m_screen->setFirmwareVersion(QString());
            m_screen->setControllerSettingText(QString());
        }
        m_shell.setPanelText(4, QStringLiteral("No controller reply"));
        return;
    }
    m_shell.setPanelText(4, QStringLiteral("Command received"));
    const QueryReply reply = ParseQueryReply(m_state.RawReply);
    m_state.RawReply.clear();
    m_state.ControllerSetting = reply.setting;
    const QString settingText = ControllerSettingText(reply.setting);
    if (m_screen && !settingText.isEmpty())
        m_screen->setControllerSettingText(settingText);
    if (reply.named) {
        m_state.ControllerInfo = reply.info;
        if (m_screen) {
            m_screen->setControllerName(reply.info.value(0));
            m_screen->setFirmwareVersion(reply.info.value(1));
        }
    }
}

QString ControllerLink::LineBlock::text() const
{
    return QStringLiteral(" The line was blocked for %1 s; %2 of %3 characters sent.")
        .arg(seconds)
        .arg(sent)
        .arg(total);
}
