#include "Outcome.h"

namespace {

const QString Done = QStringLiteral("79");
const QString Refused = QStringLiteral("6E");
const QString ControllerErrorTitle = QStringLiteral("Controller Error Message");

void showControllerError(const QString& replyCode, Prompter& prompter)
{
    prompter.message(QStringLiteral("An error message has been received from the controller.") +
                         QStringLiteral("\r\nError message: ") + replyCode,
                     ControllerErrorTitle, MessageIcon::Exclamation);
}

QString downloadedFiles(int count)
{
    return QString::number(count) + QStringLiteral(" downloaded files");
}

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
        showControllerError(state.ReplyCode, prompter);
        return {downloadedFiles(0), ExitCode::ControllerError};
    }
    if (state.ReplyCode == Done)
        return {downloadedFiles(1), ExitCode::Done};
    prompter.message(QStringLiteral("No reply from controller.\r\nError message: ") +
                         state.ReplyCode,
                     ControllerErrorTitle, MessageIcon::Exclamation);
    return {downloadedFiles(0), ExitCode::NoReply};
}

Outcome JudgeClear(const AppState& state, const QString& address, Prompter& prompter)
{
    if (!state.ReadyReceived)
        return {QStringLiteral("No controller reply"), ExitCode::NoReply};
    if (state.ReplyCode == Refused) {
        showControllerError(state.ReplyCode, prompter);
        return {QStringLiteral("Address not cleared"), ExitCode::ControllerError};
    }
    if (state.ReplyCode == Done)
        return {QStringLiteral("Address ") + address + QStringLiteral(" Clear"), ExitCode::Done};
    return {QString(), ExitCode::NoReply};
}
