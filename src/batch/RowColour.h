#pragma once

#include <QtGlobal>

// The text colour of a file's row, which tells the operator how its download went.
enum class RowColour : quint8 {
    Black,   // not sent in this run (yet)
    Blue,    // being sent
    Magenta, // the controller confirmed it
    Yellow,  // refused by the controller, will be sent again (single download: no reply)
    Green,   // no reply, will be sent again
    Cyan,    // the controller never said it was ready
    Red,     // failed for good
};
