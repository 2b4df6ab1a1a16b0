#include "QtUiSeam.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

QString QtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i);
        const QString pattern =
            QString(parts.at(i + 1)).replace(QLatin1Char(';'), QLatin1Char(' '));
        // "bmp files (*.bmp)" already names its pattern; Qt reads the last parentheses.
        if (!description.contains(QLatin1Char('(')))
            description += QStringLiteral(" (%1)").arg(pattern);
        filters << description;
    }
    return filters.join(QStringLiteral(";;"));
}

QtUiSeam::QtUiSeam(std::function<QWidget*()> parentProvider)
    : m_parent(std::move(parentProvider))
{
}

MessageAnswer QtUiSeam::message(const QString& text, const QString& title, MessageIcon icon,
                                MessageButtons buttons)
{
    QMessageBox box(m_parent());
    box.setText(text);
    box.setWindowTitle(title.isEmpty() ? QCoreApplication::applicationName() : title);
    switch (icon) {
    case MessageIcon::None:
        break;
    case MessageIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MessageIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return MessageAnswer::Ok;
    }
}

QString QtUiSeam::openFileName(const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(m_parent(), title, folder, QtFileFilter(filter));
}

QString QtUiSeam::saveFileName(const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getSaveFileName(m_parent(), title, folder, QtFileFilter(filter));
}

QString QtUiSeam::folderName(const QString& title, const QString& folder)
{
    return QFileDialog::getExistingDirectory(m_parent(), title, folder);
}

QString QtUiSeam::text(const QString& title, const QString& label, const QString& initial)
{
    return QInputDialog::getText(m_parent(), title, label, QLineEdit::Normal, initial);
}

QColor QtUiSeam::colour(const QString& title, const QColor& initial)
{
    return QColorDialog::getColor(initial, m_parent(), title);
}

UiSeam::ShellResult QtUiSeam::openWithViewer(const QString& path)
{
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return {};
    return {false, 31, QStringLiteral("No application is associated with this file.")};
}

UiSeam::ShellResult QtUiSeam::startProgram(const QString& program, const QStringList& arguments)
{
    if (QProcess::startDetached(program, arguments))
        return {};
    return {false, 2, QStringLiteral("The program could not be started.")};
}
