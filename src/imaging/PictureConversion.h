#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

// Any picture Qt reads, made into a switch picture: fitted to the display, turned, its tones set,
// reduced to the display's colour depth and written as the bitmap the program accepts for the
// type. The Convert dialogs, the folder conversion and the command line share these functions and
// one settings value, so the same picture and settings give the same bytes everywhere.

enum class PictureFit {
    Contain, // the whole picture, bars of the background colour where the shapes differ
    Cover,   // the display filled, the picture cropped at the crop position
    Stretch, // the whole picture, pulled to the display's shape
};

enum class PictureDither { None, FloydSteinberg, Atkinson, Ordered };

struct ConversionSettings
{
    qint16 typeCode = 5; // the display type, 1..6 (MONO 96x64)
    PictureFit fit = PictureFit::Contain;
    QColor background = Qt::black; // the bars of Contain, and behind transparent pixels
    QPoint crop = {50, 50};        // Cover: where the kept part lies, percent across and down
    int rotation = 0;              // clockwise, 0, 90, 180 or 270 degrees
    bool flipHorizontal = false;   // after turning, as the display shows it
    bool flipVertical = false;
    int brightness = 0;  // -100..100
    int contrast = 0;    // -100..100
    int threshold = 128; // one-bit displays without dither: a grey at or above it is lit or clear
    PictureDither dither = PictureDither::None; // one-bit displays
    bool invert = false;                        // light for dark, after everything else

    bool operator==(const ConversionSettings&) const = default;
};

// True for the displays whose pixels are on or off (both LCDs and MONO 96x64); the others take
// 16-bit colour.
bool IsOneBitDisplay(qint16 typeCode);

// A picture read for conversion, or why it cannot be.
struct SourcePicture
{
    QImage image;
    QString error; // empty when the picture was read
};

// A picture whose shorter side is over twice this is read at this shorter side (a photo's camera
// orientation applied), five times the most any display needs, so that the dialog's preview stays
// live and a photo converts nearly as fast as an icon; a smaller one is read as it is, sparing a
// scale that would hardly shrink it. Every conversion reads through here, so the dialog, the
// folder conversion and the command line start from the same pixels.
constexpr int WorkingShortSide = 512;
SourcePicture ReadSourcePicture(const QString& path);

// The picture as the display's own pixels: display-sized RGB32, black and white for a one-bit
// display, colours the display can show for the others. Null for an unknown type or a null
// source.
QImage ConvertToDisplay(const QImage& source, const ConversionSettings& settings);

// ConvertToDisplay written as the accepted bitmap of the settings' type.
QByteArray ConvertToBitmap(const QImage& source, const ConversionSettings& settings);

// What the switch shows for an accepted bitmap of the type: the bitmap through the type's encoder
// and back through its decoder, "L to R" as given, an LCD 36x24 lit white. Null when the bytes
// are no such bitmap.
QImage SwitchViewOfBitmap(qint16 typeCode, const QByteArray& bitmap, bool leftToRight);

// The file-name patterns of every picture format this machine's Qt reads ("*.png", "*.jpg" ...).
QStringList ReadablePicturePatterns();
