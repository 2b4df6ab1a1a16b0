#pragma once

#include <QColor>

class QPushButton;

// Button back colours tell the operator a button's state: white while a Cancel or Pause button
// is live, red for a refresh that is due, the system's button face otherwise.
void SetButtonColour(QPushButton* button, const QColor& colour);
void SetButtonFace(QPushButton* button);
bool HasButtonColour(const QPushButton* button, const QColor& colour);
