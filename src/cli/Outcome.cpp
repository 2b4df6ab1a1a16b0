#include "Outcome.h"

#include "ControllerMessages.h"

int ExitCodeForReply(ReplyOutcome outcome)
{
    switch (outcome) {
    case ReplyOutcome::Done:
        return ExitCode::Done;
    case ReplyOutcome::Refused:
        return ExitCode::ControllerError;
    case ReplyOutcome::LineBlocked:
        return ExitCode::LineBlocked;
    case ReplyOutcome::NoReply:
    case ReplyOutcome::Unexpected:
    case ReplyOutcome::NotReady:
        break;
    }
    return ExitCode::NoReply;
}

Outcome JudgeDownload(ReplyOutcome outcome, Prompter& prompter)
{
    switch (outcome) {
    case ReplyOutcome::NotReady:
        return {QStringLiteral("No controller reply"), ExitCode::NoReply};
    case ReplyOutcome::Refused:
        ShowControllerError(prompter, ReplyCodes::Refused);
        return {DownloadedFilesText(0), ExitCode::ControllerError};
    case ReplyOutcome::Done:
        return {DownloadedFilesText(1), ExitCode::Done};
    default:
        ShowNoReplyError(prompter, ReplyCodes::NoReply);
        return {DownloadedFilesText(0), ExitCode::NoReply};
    }
}

Outcome JudgeClear(ReplyOutcome outcome, const QString& address, Prompter& prompter)
{
    switch (outcome) {
    case ReplyOutcome::NotReady:
        return {QStringLiteral("No controller reply"), ExitCode::NoReply};
    case ReplyOutcome::Refused:
        ShowControllerError(prompter, ReplyCodes::Refused);
        return {QStringLiteral("Address not cleared"), ExitCode::ControllerError};
    case ReplyOutcome::Done:
        return {QStringLiteral("Address ") + address + QStringLiteral(" Clear"), ExitCode::Done};
    default:
        return {QString(), ExitCode::NoReply};
    }
}
