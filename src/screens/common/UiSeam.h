#pragma once

#include "Prompter.h"

#include <QColor>
#include <QString>
#include <QStringList>

// Everything the screens ask of the desktop: message boxes, a line of text, file, folder and
// colour dialogs,
// opening a file in the system's viewer and starting a program. The program uses the Qt
// implementation; tests script the answers and read what the operator would have been shown.
class UiSeam : public Prompter
{
public:
    struct ShellResult
    {
        bool ok = true;
        int errorNumber = 0;
        QString errorDescription;
    };

    // An empty result means the operator cancelled the dialog.
    virtual QString openFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString folderName(const QString& title, const QString& folder) = 0;
    // A line of text typed by the operator, `label` saying what is asked; empty when cancelled.
    virtual QString text(const QString& title, const QString& label, const QString& initial) = 0;
    // An invalid colour means the operator cancelled.
    virtual QColor colour(const QString& title, const QColor& initial) = 0;
    virtual ShellResult openWithViewer(const QString& path) = 0;
    virtual ShellResult startProgram(const QString& program, const QStringList& arguments) = 0;
};
