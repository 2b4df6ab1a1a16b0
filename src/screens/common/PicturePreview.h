#pragma once

#include <QSize>
#include <QString>

class QLabel;
class QWidget;

// The box a screen shows a picture in: room for a 96x64 picture at twice its size.
constexpr QSize PreviewBoxSize(204, 140);

// Shows a picture file in `holder` (a child of `border`), centred in `border`. Small switch
// pictures are enlarged by a whole factor, pixel for pixel, so the operator can see every dot.
// False when the file is not a picture (the holder is then hidden).
bool ShowPicturePreview(const QString& fileName, QLabel* holder, QWidget* border);
