#pragma once

#include "PictureFileRecord.h"

#include <QString>

struct AppState;
class Prompter;

// The picture of a record's file as the controller stores it, for the current display type:
// LCD 36x24 pictures carry the record's LED codes and four zero bytes behind them. Empty for a
// type that has no picture, or a file that cannot be read (its message has been shown).
QString EncodeDownloadBlock(const PictureFileRecord& record, const AppState& state,
                            Prompter& prompter);
