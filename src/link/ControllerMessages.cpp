#include "ControllerMessages.h"

#include "Prompter.h"

namespace {
const QString ControllerErrorTitle = QStringLiteral("Controller Error Message");
}

void ShowControllerError(Prompter& prompter, const QString& replyCode)
{
    prompter.message(QStringLiteral("An error message has been received from the controller.\r\n"
                                    "Error message: ") +
                         replyCode,
                     ControllerErrorTitle, MessageIcon::Exclamation);
}

void ShowNoReplyError(Prompter& prompter, const QString& replyCode)
{
    prompter.message(QStringLiteral("No reply from controller.\r\nError message: ") + replyCode,
                     ControllerErrorTitle, MessageIcon::Exclamation);
}

void ShowUnexpectedReply(Prompter& prompter)
{
    prompter.message(QStringLiteral("An unexpected reply from controller has been received."),
                     QString(), MessageIcon::None);
}

QString DownloadedFilesText(int count)
{
    return QStringLiteral("%1 downloaded files").arg(count);
}
