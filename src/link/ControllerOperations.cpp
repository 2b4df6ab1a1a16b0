#include "ControllerOperations.h"

#include "AppState.h"
#include "ControllerLink.h"
#include "Conversions.h"
#include "SwitchCommands.h"

namespace {
// The controller's own framing ahead of uploaded data: 'a', the type letter, the address and the
// byte count as four hex digits each, ':' (11 bytes, 22 digits in the reply log).
constexpr int UploadFramingDigits = 22;
// Uploads arrive in reads of up to this many bytes, so a picture is not handled byte by byte.
constexpr int UploadReceiveThreshold = 8192;
} // namespace

ReplyOutcome ReadReplyOutcome(ControllerLink& link)
{
    if (link.lineBlocked())
        return ReplyOutcome::LineBlocked;
    const AppState& state = link.state();
    return state.ReadyReceived ? ReadReplyCode(state) : ReplyOutcome::NotReady;
}

ReplyOutcome ReadReplyCode(const AppState& state)
{
    if (state.ReplyCode == ReplyCodes::Done)
        return ReplyOutcome::Done;
    if (state.ReplyCode == ReplyCodes::Refused)
        return ReplyOutcome::Refused;
    if (state.ReplyCode == ReplyCodes::NoReply)
        return ReplyOutcome::NoReply;
    return ReplyOutcome::Unexpected;
}

ReplyOutcome SendAttributeCommand(ControllerLink& link, const QByteArray& command,
                                  AttributeReplyWait wait)
{
    link.beginCommand();
    LinkScreen* screen = link.activeScreen();
    const int savedDisplayData = screen ? screen->displayData() : 0;
    if (screen)
        screen->setDisplayData(1); // the command is always echoed
    link.SendBytes(command);
    if (screen)
        screen->setDisplayData(savedDisplayData);
    link.appendTraffic(QStringLiteral("   "), TrafficDirection::Sent);
    if (wait == AttributeReplyWait::AfterShortDelay)
        link.ShortDelay();
    link.WaitForReply();
    return ReadReplyOutcome(link);
}

ReplyOutcome ClearAddress(ControllerLink& link, bool withTypeLetter, const QString& address)
{
    AppState& state = link.state();
    if (state.TypeCode == SwitchTypeCode::Lcd36x24 || state.TypeCode == SwitchTypeCode::Lcd64x32) {
        // A blank picture, without the LED codes an LCD 36x24 picture normally carries.
        link.TransferData(withTypeLetter, address, LcdClearData());
    } else {
        const bool busy = state.BusyFlag; // the command sender ends the busy state it finds
        link.SendHexCommand(ClearCommandHex(address));
        state.BusyFlag = busy;
        link.WaitForReply();
    }
    return ReadReplyOutcome(link);
}

ReplyOutcome CallController(ControllerLink& link)
{
    link.setReceiveThreshold(1);
    link.SendHexCommand(QStringLiteral("01"));
    link.WaitForReply();
    return ReadReplyOutcome(link);
}

UploadResult UploadSwitchData(ControllerLink& link, const QString& address)
{
    AppState& state = link.state();
    state.HideReceived = true;
    state.ReceivedByteCount = 0;
    // The received-bytes log still holds earlier answers: the upload's framing is counted from
    // where its own answer begins.
    const qsizetype earlier = state.ReplyLog.size();
    link.setReceiveThreshold(UploadReceiveThreshold);
    link.SendHexCommand(QStringLiteral("29") + TextToAsciiHex(address));
    qint64 received = 0;
    while (!link.WaitForReply() && link.isPortOpen() && !state.CancelFlag &&
           state.ReceivedByteCount > received)
        received = state.ReceivedByteCount;
    link.setReceiveThreshold(1);
    state.HideReceived = false;
    UploadResult result;
    result.data = HexToBytes(state.ReplyLog.mid(earlier).remove(u' ').mid(UploadFramingDigits));
    state.ReplyLog = QString::fromLatin1(result.data);
    result.outcome = ReadReplyOutcome(link);
    return result;
}
