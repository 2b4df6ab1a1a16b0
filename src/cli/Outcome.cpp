#include "Outcome.h"

#include "ControllerMessages.h"

namespace {

const QString Done = QStringLiteral("79");
const QString Refused = QStringLiteral("6E");

} // namespace

int ExitCodeForReply(const QString& replyCode)
{
    if (replyCode == Done)
        return ExitCode::Done;
    if (replyCode == Refused)
        return ExitCode::ControllerError;
    return ExitCode::NoReply;
}

Outcome JudgeDownload(const AppState& state, Prompter& prompter)
{
    if (!state.ReadyReceived)
        return {QStringLiteral("No controller reply"), ExitCode::NoReply};
    if (state.ReplyCode == Refused) {
        ShowControllerError(prompter, state.ReplyCode);
        return {DownloadedFilesText(0), ExitCode::ControllerError};
    }
    if (state.ReplyCode == Done)
        return {DownloadedFilesText(1), ExitCode::Done};
    ShowNoReplyError(prompter, state.ReplyCode);
    return {DownloadedFilesText(0), ExitCode::NoReply};
}

Outcome JudgeClear(const AppState& state, const QString& address, Prompter& prompter)
{
    if (!state.ReadyReceived)
        return {QStringLiteral("No controller reply"), ExitCode::NoReply};
    if (state.ReplyCode == Refused) {
        ShowControllerError(prompter, state.ReplyCode);
        return {QStringLiteral("Address not cleared"), ExitCode::ControllerError};
    }
    if (state.ReplyCode == Done)
        return {QStringLiteral("Address ") + address + QStringLiteral(" Clear"), ExitCode::Done};
    return {QString(), ExitCode::NoReply};
}
