#pragma once

#include <QColor>
#include <QString>

// What an attribute editor reads from and writes back to the screen that opened it: the screen's
// address box, which the editor shows and hands back on closing, and the screen's on- and
// off-cycle colour boxes, which follow the LED colours the operator selected.
class EditorScreen
{
public:
    virtual ~EditorScreen() = default;
    virtual QString editorAddressText() const = 0;
    virtual void setEditorAddressText(const QString& text) = 0;
    virtual void setCycleColours(const QColor& on, const QColor& off) = 0;
};
