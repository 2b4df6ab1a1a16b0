#pragma once

#include <QString>

class Prompter;

// The boxes every screen (and the command line) shows for the controller's answers.
void ShowControllerError(Prompter& prompter, const QString& replyCode); // the controller said "n"
void ShowNoReplyError(Prompter& prompter, const QString& replyCode);    // nothing within the window
void ShowUnexpectedReply(Prompter& prompter);                           // neither "y" nor "n"

// "N downloaded files", the status bar's count.
QString DownloadedFilesText(int count);
