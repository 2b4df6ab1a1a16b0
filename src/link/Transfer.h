#pragma once

#include "ControllerLink.h"

#include <QByteArray>
#include <QString>

// "(" then the type letter where one is wanted, then the address as ASCII hex digits. MONO 96x64
// pictures always carry their letter 'U'; the others carry 'Q'..'V' (0x50 + type) on request.
QByteArray TransferHeader(qint16 typeCode, bool withTypeLetter, const QString& addressText);

// What the port status box says when a transfer ended because the line took nothing for the
// stall limit (a controller holding XOFF, or no longer reading).
QString LineBlockedText(const ControllerLink::LineBlock& block);
