#pragma once

#include "AppState.h"
#include "Bitmap.h"
#include "Prompter.h"

#include <QString>

// Bitmap files to the pictures the controller stores, as HexText (two upper-case hex digits per
// byte). Every encoder has one shape: with an empty first argument it returns `fallback` unchanged
// and reads nothing (callers pass data that is already encoded); otherwise it reads the file at
// `folderOrPath` + `fileName`. A file that cannot be read is reported with "Download failed. The
// selected item is an invalid picture." and gives the empty text. The length, width, height and
// palette of the file are not checked: the bytes are taken as they stand, and a short file gives a
// shorter result.

// 120 bytes: 24 rows of 5 bytes from the top, inverted. Callers that download it append the LED
// texts and "00000000" (see Lcd36x24PictureBlock).
QString EncodeLcd36x24(const QString& folderOrPath, const QString& fileName,
                       const QString& fallback, AppState& state, Prompter& prompter);
// 256 bytes: inverted, all bytes in reverse order.
QString EncodeLcd64x32(const QString& folderOrPath, const QString& fileName,
                       const QString& fallback, AppState& state, Prompter& prompter);
// OLED 64x48 (6144 bytes) and OLED 52x36 (3744 bytes): 16-bit pixels, rows from the top, mirrored
// when the state's LeftToRightFlag is 0.
QString EncodeOled(const QString& folderOrPath, const QString& fileName, const QString& fallback,
                   AppState& state, Prompter& prompter);
// 768 bytes: rows from the top, inverted when the picture was saved with a resolution.
QString EncodeMono96x64(const QString& folderOrPath, const QString& fileName,
                        const QString& fallback, AppState& state, Prompter& prompter);
// 12288 bytes: 16-bit pixels, rows from the top, mirrored when LeftToRightFlag is 0.
QString EncodeColor96x64(const QString& folderOrPath, const QString& fileName,
                         const QString& fallback, AppState& state, Prompter& prompter);

// The same conversions on a picture already read.
QString Lcd36x24HexText(const BitmapImage& image);
QString Lcd64x32HexText(const BitmapImage& image);
QString OledHexText(const BitmapImage& image, bool leftToRight);
QString Mono96x64HexText(const BitmapImage& image); // follows image.MonoInvertFlag
QString Color96x64HexText(const BitmapImage& image, bool leftToRight);

// The conversion of a display type (1..6; the empty text for any other code).
QString PictureHexText(qint16 typeCode, const BitmapImage& image, bool leftToRight);

// What an LCD 36x24 download sends: the encoded picture, the off and on LED digits, four zero
// bytes.
QString Lcd36x24PictureBlock(const QString& encoded, const QString& ledOff, const QString& ledOn);
