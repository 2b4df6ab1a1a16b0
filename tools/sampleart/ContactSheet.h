#pragma once

#include <QImage>
#include <QString>

// All bitmaps of a folder as the switches show them: each file classified by its length, encoded
// for its type, and drawn by the decoders, enlarged and labelled. LCD 36x24 pictures are shown with
// a white back-light.
QImage ContactSheet(const QString& folder);
