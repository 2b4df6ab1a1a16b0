#include "ControllerOperations.h"

#include "AppState.h"
#include "ControllerLink.h"
#include "SwitchCommands.h"

ReplyOutcome ReadReplyOutcome(const AppState& state)
{
    if (!state.ReadyReceived)
        return ReplyOutcome::NotReady;
    if (state.ReplyCode == ReplyCodes::Done)
        return ReplyOutcome::Done;
    if (state.ReplyCode == ReplyCodes::Refused)
        return ReplyOutcome::Refused;
    if (state.ReplyCode == ReplyCodes::NoReply)
        return ReplyOutcome::NoReply;
    return ReplyOutcome::Unexpected;
}

ReplyOutcome SendAttributeCommand(ControllerLink& link, const QByteArray& command)
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
    link.WaitForReply();
    return ReadReplyOutcome(link.state());
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
    return ReadReplyOutcome(state);
}

ReplyOutcome CallController(ControllerLink& link)
{
    link.setReceiveThreshold(1);
    link.SendHexCommand(QStringLiteral("01"));
    link.WaitForReply();
    return ReadReplyOutcome(link.state());
}
