#pragma once

#include <QPixmap>

// The small pictures of the switch type choice ("SwitchIcons"): a key cap whose display window
// has the type's proportions and its look (LCD dark dots on a lit panel, OLED colour on black,
// MONO white on black). Drawn here; no picture file is involved.
inline constexpr QSize SwitchIconSize(32, 24);
QPixmap SwitchTypeIcon(qint16 typeCode);
