#pragma once

// The desktop as tests see it: message boxes answer from a script and are recorded; file
// dialogs return prepared paths; the viewer and program starts are recorded. Inside a test it
// fails the test when something is left amiss: a question was asked that no answer was scripted
// for, a message was shown that the test never took, a scripted answer or prepared path was never
// used, or a window was left open.

#include "LinkFakes.h"
#include "UiSeam.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <deque>

class ScriptedUiSeam : public UiSeam, public MessageScript
{
public:
    ScriptedUiSeam() = default;
    ScriptedUiSeam(const ScriptedUiSeam&) = delete;
    ScriptedUiSeam& operator=(const ScriptedUiSeam&) = delete;
    ~ScriptedUiSeam() override { verifyNothingLeft(); }

    // Fails the running test on what it left amiss, then forgets it, so it is reported once and
    // against the test that left it. The main window may stay open; any other window may not.
    void verifyNothingLeft(const QWidget* mainWindow = nullptr)
    {
        const QStringList problems = leftovers(mainWindow);
        if (!problems.isEmpty() && QTest::currentTestFunction())
            QTest::qFail(qPrintable(problems.join(QStringLiteral("; "))), __FILE__, __LINE__);
        unexpected.clear();
        messages.clear();
        answers.clear();
        openPaths.clear();
        savePaths.clear();
        folderPaths.clear();
        texts.clear();
        colours.clear();
    }

    MessageAnswer message(const QString& text, const QString& title, MessageIcon icon,
                          MessageButtons buttons) override
    {
        if (buttons != MessageButtons::Ok && answers.empty())
            unexpected.append(text);
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
    QString folderName(const QString& title, const QString&) override
    {
        dialogs.append(title);
        return takeFront(folderPaths);
    }
    QString text(const QString& title, const QString&, const QString&) override
    {
        dialogs.append(title);
        return takeFront(texts);
    }
    QColor colour(const QString& title, const QColor&) override
    {
        dialogs.append(title);
        return takeFront(colours);
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

    std::deque<QString> openPaths, savePaths, folderPaths; // an empty path is a cancelled dialog
    std::deque<QString> texts;  // typed answers; none left: the question is cancelled
    std::deque<QColor> colours; // none left: the colour dialog is cancelled
    QStringList dialogs, viewed, started;
    ShellResult viewerResult, startResult;

    // What the test left amiss, as readable lines. A question is accounted for by its scripted
    // answer; a message with only OK must be taken by the test.
    QStringList leftovers(const QWidget* mainWindow = nullptr) const
    {
        QStringList problems;
        for (const QString& text : unexpected)
            problems << QStringLiteral("unscripted question: ") + text;
        for (const ShownMessage& m : messages) {
            if (m.buttons == MessageButtons::Ok)
                problems << QStringLiteral("unread message: %1: %2").arg(m.title, m.text);
        }
        if (!answers.empty())
            problems << QStringLiteral("%1 scripted answers unused").arg(answers.size());
        if (!openPaths.empty() || !savePaths.empty() || !folderPaths.empty() || !colours.empty() ||
            !texts.empty())
            problems << QStringLiteral("prepared dialog paths unused");
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window != mainWindow)
                problems << QStringLiteral("window left open: ") + window->objectName();
        }
        return problems;
    }

private:
    QStringList unexpected;

    template <typename T> static T takeFront(std::deque<T>& queue)
    {
        if (queue.empty())
            return T();
        T next = std::move(queue.front());
        queue.pop_front();
        return next;
    }
};
