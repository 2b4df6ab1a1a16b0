#pragma once

#include <QtGlobal>

// Display types as the program numbers them; 1..6 equal the controller's setting codes.
namespace SwitchTypeCode {
constexpr qint16 Lcd36x24 = 1;
constexpr qint16 Lcd64x32 = 2;
constexpr qint16 Oled64x48 = 3;
constexpr qint16 Oled52x36 = 4;
constexpr qint16 Mono96x64 = 5;
constexpr qint16 Color96x64 = 6;
constexpr qint16 Text = 10;
} // namespace SwitchTypeCode
