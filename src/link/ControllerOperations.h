#pragma once

#include <QByteArray>
#include <QString>

struct AppState;
class ControllerLink;

// The controller's answers as `ReplyCode` holds them.
namespace ReplyCodes {
inline const QString Done = QStringLiteral("79");    // 'y'
inline const QString Refused = QStringLiteral("6E"); // 'n'
inline const QString NoReply = QStringLiteral("no reply");
} // namespace ReplyCodes

// How a command that waits for its answer ended.
enum class ReplyOutcome {
    Done,        // ready byte, then 'y'
    Refused,     // ready byte, then 'n'
    NoReply,     // ready byte, then nothing within the reply window
    Unexpected,  // ready byte, then something that is neither
    NotReady,    // no ready byte: the controller counts as silent whatever came after
    LineBlocked, // the line took nothing for the stall limit: the command did not all go out
};

// What the reply code alone says, ready byte or not: raw text and manual commands are answered
// without one. Done, Refused, NoReply, or Unexpected when there is no code at all.
ReplyOutcome ReadReplyCode(const AppState& state);
// How the link's last command ended: a blocked line first, else `ReadyReceived` and `ReplyCode`
// after the reply wait.
ReplyOutcome ReadReplyOutcome(ControllerLink& link);

// The operations the window and the command line share. Each starts from a clean reply state, so
// only an answer to its own command ends its wait.

// When the reply wait after an attribute command starts: at once (one record from a screen), or
// after the link's short delay (each row of a batch run).
enum class AttributeReplyWait { AtOnce, AfterShortDelay };
// An attribute command, echoed whatever the echo box says, followed by the reply wait.
ReplyOutcome SendAttributeCommand(ControllerLink& link, const QByteArray& command,
                                  AttributeReplyWait wait = AttributeReplyWait::AtOnce);
// Blanks `address` for the current type: the LCD types by a picture of zero bytes (with the type
// letter when wanted), the others by the clear command.
ReplyOutcome ClearAddress(ControllerLink& link, bool withTypeLetter, const QString& address);
// The connection test: "01" and the reply wait, at a receive threshold of one byte.
ReplyOutcome CallController(ControllerLink& link);

// What an upload brought: the answer without the controller's 11 leading bytes (its ready byte,
// type letter, address and byte count), as characters.
struct UploadResult
{
    ReplyOutcome outcome = ReplyOutcome::NotReady;
    QByteArray data;
};
// The switch data upload of `address`: ")" and the address as ASCII digits, the answer received
// in reads of up to 8192 bytes and kept out of the traffic log. A picture is thousands of bytes
// and on a slow line outlasts the reply window, so the wait goes on while bytes keep arriving.
// The result also becomes the reply log, as the switch data screen shows it.
UploadResult UploadSwitchData(ControllerLink& link, const QString& address);
