#include "ControllerLink.h"
#include "ControllerOperations.h"
#include "Conversions.h"
#include "LinkTiming.h"
#include "SwitchCommands.h"

#include <utility>

ControllerLink::LineState ControllerLink::streamPieces(const QByteArray& block, qsizetype pieces,
                                                       int aheadMs)
{
    qint64 written = 0;
    const auto blockedAt = [&](LineState line) {
        if (line == LineState::Blocked)
            noteBlocked(written - bytesToWrite(), qMin(block.size(), 2 * pieces));
        return line;
    };
    for (qsizetype i = 0; i < pieces; ++i) {
        pumpMessages();
        if (!isPortOpen())
            return LineState::Lost;
        const QByteArray piece = block.mid(2 * i, 2);
        SendBytes(piece);
        written += piece.size();
        m_shell.setProgressValue(int(i + 2));
        if (m_state.StopTransferFlag)
            return LineState::Clear;
        if (const LineState line = WaitForEmptyOutput(aheadMs); line != LineState::Clear)
            return blockedAt(line);
    }
    // A block ends when all of it has left: raw text must be through before flow control is
    // switched off again, or its tail would reach the controller as a command. The pass of the
    // event loop after that lets a far end served on this machine (the virtual controller's
    // pseudo-terminal) read what the system now holds.
    const LineState line = blockedAt(waitForLine(0, nullptr));
    pumpMessages();
    return line;
}

void ControllerLink::beginProgress(qsizetype pieces)
{
    m_shell.setProgressVisible(true);
    m_shell.setProgressMaximum(int(pieces + 1));
    m_shell.setProgressValue(0);
}

void ControllerLink::awaitTransferReply(LineState line)
{
    m_state.StopTransferFlag = false;
    if (line == LineState::Clear) {
        setReceiveThreshold(1);
        WaitForReply();
        if (isPortOpen()) // a port lost during the wait keeps its own status text
            setPortStatus(openStatusText());
    } else {
        // A closed port or a blocked line (its status already shown): nothing more will arrive
        // at the controller.
        m_state.ReplyCode = ReplyCodes::NoReply;
    }
    m_shell.setProgressVisible(false);
    m_state.DataPhase = false;
    if (m_screen)
        m_screen->setCurrentAddressLabel(QString());
}

void ControllerLink::TransferData(bool withTypeLetter, const QString& addressText,
                                  const QString& data)
{
    const QString source = std::exchange(m_transferSource, QString());
    if (m_state.CancelFlag)
        return;
    pumpMessages();
    beginCommand();
    const QByteArray digits = data.toLatin1();
    const qsizetype pieces = digits.size() / 2; // an odd trailing digit is not sent
    const StoredPicture picture{m_state.TypeCode, addressText.toUShort(nullptr, 16),
                                HexToBytes(data.left(2 * pieces))};
    Q_EMIT transferStarted(picture.typeCode, picture.address);

    beginProgress(pieces);
    const int savedDisplayData = m_screen ? m_screen->displayData() : 0;
    if (m_screen) {
        m_screen->setCurrentAddressLabel(addressText);
        m_screen->appendTraffic(QStringLiteral("\r\n"), TrafficDirection::Sent);
        m_screen->setDisplayData(1); // the header is always echoed
    }
    SendBytes(TransferHeader(m_state.TypeCode, withTypeLetter, addressText));
    WaitForReady(); // the data follow whether or not the controller said it is ready
    m_state.DataPhase = true;
    if (m_screen)
        m_screen->setDisplayData(savedDisplayData);
    m_shell.setProgressValue(1);
    awaitTransferReply(streamPieces(digits, pieces, LinkTiming::PictureLineAheadMs));
    Q_EMIT transferFinished({picture, source, ReadReplyOutcome(*this)});
}

void ControllerLink::TransferText(const QByteArray& data)
{
    if (m_state.CancelFlag)
        return;
    pumpMessages();
    beginCommand();
    m_state.DataPhase = false;
    // The last piece holds an odd trailing character, or nothing at all.
    const qsizetype pieces = data.size() / 2 + 1;

    beginProgress(pieces);
    if (m_screen) {
        m_screen->setCurrentAddressLabel(QString());
        m_screen->appendTraffic(QStringLiteral("\r\n"), TrafficDirection::Sent);
    }
    m_shell.setProgressValue(1);
    setFlowControl(FlowControl::XonXoff);
    const LineState line = streamPieces(data, pieces, LinkTiming::LinePaceAheadMs);
    setFlowControl(FlowControl::None);
    awaitTransferReply(line);
}
