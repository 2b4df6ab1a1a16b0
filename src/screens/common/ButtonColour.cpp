#include "ButtonColour.h"

#include <QApplication>
#include <QPushButton>

void SetButtonColour(QPushButton* button, const QColor& colour)
{
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colour);
    button->setPalette(palette);
}

void SetButtonFace(QPushButton* button)
{
    SetButtonColour(button, QApplication::palette().color(QPalette::Button));
}

bool HasButtonColour(const QPushButton* button, const QColor& colour)
{
    return button->palette().color(QPalette::Button) == colour;
}
