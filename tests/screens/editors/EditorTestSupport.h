#pragma once

// Drives the editors as the operator does: typing replaces a box's selected text, leaving a box
// is a Tab, and the screen behind the editors records what it was handed.

#include "EditorScreen.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

class RecordingEditorScreen : public EditorScreen
{
public:
    QString editorAddressText() const override { return address; }
    void setEditorAddressText(const QString& text) override { address = text; }
    void setCycleColours(const QColor& on, const QColor& off) override
    {
        colours = {on, off};
        ++colourChanges;
    }

    QString address;
    QPair<QColor, QColor> colours;
    int colourChanges = 0;
};

template <typename T> T* findIn(QWidget* dialog, const QString& name)
{
    T* widget = dialog->findChild<T*>(name);
    if (!widget)
        qFatal("no widget named %s", qPrintable(name));
    return widget;
}

// Any Qt warning fails the test, except the offscreen platform's note that it cannot pass a
// window's size limits on to a window system it does not have.
inline void failOnQtWarnings()
{
    QTest::failOnWarning(
        QRegularExpression(QStringLiteral("^(?!This plugin does not support propagateSizeHints)")));
}

inline void showActive(QDialog& dialog)
{
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

// Focus on the box (its text becomes selected), then type over it.
inline void typeInto(QLineEdit* box, const QString& text)
{
    box->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QCOMPARE(box->selectedText(), box->text());
    QTest::keyClicks(box, text);
}

// Tab away from the box and let its check run.
inline void leave(QLineEdit* box)
{
    QTest::keyClick(box, Qt::Key_Tab);
    QCoreApplication::processEvents();
}

inline void click(QDialog& dialog, const char* button)
{
    findIn<QAbstractButton>(&dialog, QLatin1String(button))->click();
}

// A real click: the button takes the focus from the box being edited first.
inline void clickWithMouse(QDialog& dialog, const char* button)
{
    QTest::mouseClick(findIn<QAbstractButton>(&dialog, QLatin1String(button)), Qt::LeftButton);
    QCoreApplication::processEvents();
}

// Ends an opening: "close" is the title-bar button, "escape" the key, anything else a button.
inline void end(QDialog& dialog, const QString& how)
{
    if (how == QLatin1String("close"))
        dialog.close();
    else if (how == QLatin1String("escape"))
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else
        click(dialog, qPrintable(how));
}
