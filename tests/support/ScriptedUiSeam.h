#pragma once

// The desktop as tests see it: message boxes answer from a script and are recorded; file
// dialogs return prepared paths; the viewer and program starts are recorded.

#include "LinkFakes.h"
#include "UiSeam.h"

#include <deque>

class ScriptedUiSeam : public UiSeam
{
public:
    MessageAnswer message(const QString& text, const QString& title, MessageIcon icon,
                          MessageButtons buttons) override
    {
        messages.append({text, title, icon, buttons});
        if (answers.empty())
            return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString openFileName(const QString& title, const QString&, const QString& filter) override
    {
        dialogs.append(title + QLatin1Char('|') + filter);
        return takeFront(openPaths);
    }
    QString saveFileName(const QString& title, const QString&, const QString& filter) override
    {
        dialogs.append(title + QLatin1Char('|') + filter);
        return takeFront(savePaths);
    }
    ShellResult openWithViewer(const QString& path) override
    {
        viewed.append(path);
        return viewerResult;
    }
    ShellResult startProgram(const QString& program, const QStringList& arguments) override
    {
        started.append(program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')));
        return startResult;
    }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const ShownMessage& m : messages)
            texts << m.text;
        return texts;
    }

    QList<ShownMessage> messages;
    std::deque<MessageAnswer> answers;
    std::deque<QString> openPaths, savePaths; // an empty path is a cancelled dialog
    QStringList dialogs, viewed, started;
    ShellResult viewerResult, startResult;

private:
    static QString takeFront(std::deque<QString>& queue)
    {
        if (queue.empty())
            return QString();
        QString path = queue.front();
        queue.pop_front();
        return path;
    }
};
