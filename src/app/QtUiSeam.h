#pragma once

#include "UiSeam.h"

#include <functional>

class QWidget;

class QtUiSeam : public UiSeam
{
public:
    // Boxes and dialogs are centred on the window that parentProvider returns at the time.
    explicit QtUiSeam(std::function<QWidget*()> parentProvider);

    MessageAnswer message(const QString& text, const QString& title, MessageIcon icon,
                          MessageButtons buttons) override;
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString folderName(const QString& title, const QString& folder) override;
    QString text(const QString& title, const QString& label, const QString& initial) override;
    QColor colour(const QString& title, const QColor& initial) override;
    ShellResult openWithViewer(const QString& path) override;
    ShellResult startProgram(const QString& program, const QStringList& arguments) override;

private:
    std::function<QWidget*()> m_parent;
};

// The filters of the system's own dialogs are written "description|pattern"; Qt wants
// "description (pattern)". Pairs are separated by "|" as well.
QString QtFileFilter(const QString& filter);
