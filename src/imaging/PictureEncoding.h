#pragma once

#include "AppState.h"
#include "PictureFileRecord.h"

#include <QString>

class Prompter;

// A bitmap file as the controller stores it for a display type (1..6), through that type's
// encoder. Empty for any other type, or when the file cannot be read (its message has been shown).
// An LCD 36x24 download adds the LED codes behind it (Lcd36x24PictureBlock).
QString EncodePictureFile(qint16 typeCode, const QString& path, AppState& state,
                          Prompter& prompter);

// A bitmap as a switch data file holds it: the display type's picture, and for LCD 36x24 its whole
// picture block with both LED colours 0. Empty when the file cannot be read.
QString EncodeForType(qint16 typeCode, const QString& path, AppState& state, Prompter& prompter);

// A record's picture as a download sends it: LCD 36x24 pictures carry the record's LED codes and
// four zero bytes behind them, even when the file could not be read.
QString EncodeDownloadBlock(const PictureFileRecord& record, AppState& state, Prompter& prompter);
