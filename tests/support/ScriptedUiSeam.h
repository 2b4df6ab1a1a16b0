#pragma once

// The desktop as tests see it: message boxes answer from a script and are recorded; file
// dialogs return prepared paths; the viewer and program starts are recorded.

#include "LinkFakes.h"
#include "UiSeam.h"

#include <deque>

class ScriptedUiSeam : public UiSeam, public MessageScript
{
public:
    MessageAnswer message(const QString& text, const QString& title, MessageIcon icon,
                          MessageButtons buttons) override
    {
        return answer(text, title, icon, buttons);
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
