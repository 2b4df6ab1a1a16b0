#pragma once

#include "ControllerOperations.h"
#include "Prompter.h"

#include <QString>

// Exit status of vantrel-cli: what the controller said, or why nothing could be asked.
namespace ExitCode {
constexpr int Done = 0;            // ReplyCodes::Done
constexpr int ControllerError = 1; // ReplyCodes::Refused
constexpr int NoReply = 2;         // silence, or an answer that means neither
constexpr int Failure = 3;         // usage, file or port error
constexpr int LineBlocked = 4;     // the line took nothing for the stall limit; data not all sent
} // namespace ExitCode

// How a finished operation reads: the status bar text the window shows for it, and the exit
// status.
struct Outcome
{
    QString status;
    int exitCode = ExitCode::NoReply;
};

int ExitCodeForReply(ReplyOutcome outcome);

// A picture download, read as the single picture screen reads it: without the ready byte the
// controller counts as silent whatever came after; a refusal and silence show the controller
// error message.
Outcome JudgeDownload(ReplyOutcome outcome, Prompter& prompter);
// An address clear of `address`.
Outcome JudgeClear(ReplyOutcome outcome, const QString& address, Prompter& prompter);
