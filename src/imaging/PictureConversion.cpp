#include "PictureConversion.h"

#include "Bitmap.h"
#include "BitmapWriter.h"
#include "Decoders.h"
#include "DeviceFormat.h"
#include "Encoders.h"
#include "SwitchTypeCode.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr QRgb Lit = 0xffffffff;
constexpr QRgb Dark = 0xff000000;

int roundedAtLeastOne(double value)
{
    return std::max(1, int(std::lround(value)));
}

// `pixel` laid over `background`: what a transparent part of a picture shows.
QRgb over(QRgb pixel, QRgb background)
{
    const int a = qAlpha(pixel);
    const auto mix = [a](int c, int b) { return (c * a + b * (255 - a) + 127) / 255; };
    return qRgb(mix(qRed(pixel), qRed(background)), mix(qGreen(pixel), qGreen(background)),
                mix(qBlue(pixel), qBlue(background)));
}

// A canvas of `size` in the background colour with `picture` laid on it at `at`, transparency
// resolved: from here on every pixel is opaque.
QImage onBackground(const QImage& picture, QSize size, QPoint at, QRgb background)
{
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(background);
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(canvas.scanLine(y + at.y())) + at.x();
        for (int x = 0; x < argb.width(); ++x)
            to[x] = over(from[x], background);
    }
    return canvas;
}

QImage scaledTo(const QImage& picture, QSize size)
{
    if (picture.size() == size)
        return picture; // a picture of the display's own size keeps every pixel as drawn
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The part of `source` that Cover keeps for a target of `target`'s shape, placed by the crop
// position.
QRect coverCrop(QSize source, QSize target, QPoint crop)
{
    const double scale = std::max(double(target.width()) / source.width(),
                                  double(target.height()) / source.height());
    const int w = std::min(source.width(), roundedAtLeastOne(target.width() / scale));
    const int h = std::min(source.height(), roundedAtLeastOne(target.height() / scale));
    const auto place = [](int room, int percent) {
        return int(std::lround(room * std::clamp(percent, 0, 100) / 100.0));
    };
    return {place(source.width() - w, crop.x()), place(source.height() - h, crop.y()), w, h};
}

// `source` brought to `target` pixels, unturned, by the settings' fit.
QImage fitted(const QImage& source, QSize target, const ConversionSettings& s)
{
    const QRgb background = s.background.rgb();
    switch (s.fit) {
    case PictureFit::Stretch:
        return onBackground(scaledTo(source, target), target, {}, background);
    case PictureFit::Cover:
        return onBackground(scaledTo(source.copy(coverCrop(source.size(), target, s.crop)), target),
                            target, {}, background);
    case PictureFit::Contain:
        break;
    }
    const double scale = std::min(double(target.width()) / source.width(),
                                  double(target.height()) / source.height());
    const QSize size(std::min(target.width(), roundedAtLeastOne(source.width() * scale)),
                     std::min(target.height(), roundedAtLeastOne(source.height() * scale)));
    const QPoint at((target.width() - size.width()) / 2, (target.height() - size.height()) / 2);
    return onBackground(scaledTo(source, size), target, at, background);
}

// Turned clockwise by a quarter turns and flipped as the display shows it, pixel for pixel.
QImage oriented(const QImage& picture, const ConversionSettings& s)
{
    const int quarters = ((s.rotation / 90) % 4 + 4) % 4;
    const int w = picture.width();
    const int h = picture.height();
    QImage turned(quarters % 2 ? QSize(h, w) : QSize(w, h), QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb pixel = picture.pixel(x, y);
            switch (quarters) {
            case 0:
                turned.setPixel(x, y, pixel);
                break;
            case 1:
                turned.setPixel(h - 1 - y, x, pixel);
                break;
            case 2:
                turned.setPixel(w - 1 - x, h - 1 - y, pixel);
                break;
            default:
                turned.setPixel(y, w - 1 - x, pixel);
                break;
            }
        }
    }
    return turned.mirrored(s.flipHorizontal, s.flipVertical);
}

// Brightness shifts every level by up to half the range; contrast spreads the levels about mid-grey
// by up to four times, or draws them together to grey.
std::array<quint8, 256> toneTable(const ConversionSettings& s)
{
    const double contrast = std::clamp(s.contrast, -100, 100) / 100.0;
    const double spread = contrast >= 0 ? 1.0 + 3.0 * contrast : 1.0 + contrast;
    const double shift = std::clamp(s.brightness, -100, 100) * 1.28;
    std::array<quint8, 256> table{};
    for (int level = 0; level < 256; ++level) {
        const double value = (level - 128) * spread + 128 + shift;
        table[size_t(level)] = quint8(std::clamp<long>(std::lround(value), 0, 255));
    }
    return table;
}

QImage toned(QImage picture, const ConversionSettings& s)
{
    const std::array<quint8, 256> table = toneTable(s);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = line[x];
            line[x] =
                qRgb(table[size_t(qRed(p))], table[size_t(qGreen(p))], table[size_t(qBlue(p))]);
        }
    }
    return picture;
}

// One neighbour's share of a pixel's error: `numerator` / `denominator` of it goes `dx` across and
// `dy` down.
struct ErrorShare
{
    int dx;
    int dy;
    int numerator;
};

constexpr ErrorShare FloydSteinberg[] = {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}};
constexpr int FloydSteinbergDenominator = 16;
// Atkinson passes on three quarters of the error, which keeps flat areas clean.
constexpr ErrorShare Atkinson[] = {{1, 0, 1}, {2, 0, 1}, {-1, 1, 1},
                                   {0, 1, 1}, {1, 1, 1}, {0, 2, 1}};
constexpr int AtkinsonDenominator = 8;

constexpr int Bayer4x4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Levels carry this many fractions of a grey step while the error is spread, so small shares are
// not lost to rounding.
constexpr int Fraction = 16;

template <size_t N>
std::vector<bool> diffused(const QImage& grey, const ErrorShare (&shares)[N], int denominator)
{
    const int w = grey.width();
    const int h = grey.height();
    std::vector<int> level(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            level[size_t(y * w + x)] = qRed(grey.pixel(x, y)) * Fraction;
    std::vector<bool> lit(level.size());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int value = level[size_t(y * w + x)];
            const bool on = value >= 128 * Fraction;
            lit[size_t(y * w + x)] = on;
            const int error = value - (on ? 255 * Fraction : 0);
            for (const ErrorShare& share : shares) {
                const int nx = x + share.dx;
                const int ny = y + share.dy;
                if (nx >= 0 && nx < w && ny < h)
                    level[size_t(ny * w + nx)] += error * share.numerator / denominator;
            }
        }
    }
    return lit;
}

std::vector<bool> thresholded(const QImage& grey, const ConversionSettings& s)
{
    const int w = grey.width();
    std::vector<bool> lit(size_t(w) * size_t(grey.height()));
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < w; ++x) {
            const int g = qRed(grey.pixel(x, y));
            lit[size_t(y * w + x)] = s.dither == PictureDither::Ordered
                                         ? g * 32 > (2 * Bayer4x4[y % 4][x % 4] + 1) * 255
                                         : g >= s.threshold;
        }
    }
    return lit;
}

QImage greyOf(const QImage& picture)
{
    QImage grey(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const int g = qGray(picture.pixel(x, y));
            grey.setPixel(x, y, qRgb(g, g, g));
        }
    }
    return grey;
}

QImage oneBit(const QImage& picture, const ConversionSettings& s)
{
    const QImage grey = greyOf(picture);
    std::vector<bool> lit;
    switch (s.dither) {
    case PictureDither::FloydSteinberg:
        lit = diffused(grey, FloydSteinberg, FloydSteinbergDenominator);
        break;
    case PictureDither::Atkinson:
        lit = diffused(grey, Atkinson, AtkinsonDenominator);
        break;
    case PictureDither::None:
    case PictureDither::Ordered:
        lit = thresholded(grey, s);
        break;
    }
    QImage out(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            out.setPixel(x, y, lit[size_t(y * out.width() + x)] != s.invert ? Lit : Dark);
    return out;
}

// Every pixel at the 16-bit colour the display shows for it.
QImage displayColours(QImage picture, bool invert)
{
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            QRgb p = line[x];
            if (invert)
                p = qRgb(255 - qRed(p), 255 - qGreen(p), 255 - qBlue(p));
            line[x] = DeviceFormat::rgbFromDevice(
                DeviceFormat::deviceFromBgr(quint8(qBlue(p)), quint8(qGreen(p)), quint8(qRed(p))));
        }
    }
    return picture;
}

} // namespace

bool IsOneBitDisplay(qint16 typeCode)
{
    return typeCode == SwitchTypeCode::Lcd36x24 || typeCode == SwitchTypeCode::Lcd64x32 ||
           typeCode == SwitchTypeCode::Mono96x64;
}

SourcePicture ReadSourcePicture(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    const int shortSide = std::min(stored.width(), stored.height());
    if (stored.isValid() && shortSide > 2 * WorkingShortSide) {
        const double scale = double(WorkingShortSide) / shortSide;
        reader.setScaledSize(QSize(roundedAtLeastOne(stored.width() * scale),
                                   roundedAtLeastOne(stored.height() * scale)));
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        return {QImage(), QStringLiteral("%1 cannot be converted: %2")
                              .arg(QFileInfo(path).fileName(), reader.errorString())};
    }
    return {image, QString()};
}

QImage ConvertToDisplay(const QImage& source, const ConversionSettings& settings)
{
    const QSize display = DisplaySize(settings.typeCode);
    if (source.isNull() || display.isEmpty())
        return QImage();
    // Fitted before it is turned, so that only display-sized pictures are turned.
    const bool quarterTurn = (settings.rotation / 90) % 2 != 0;
    const QImage picture = toned(
        oriented(fitted(source, quarterTurn ? display.transposed() : display, settings), settings),
        settings);
    return IsOneBitDisplay(settings.typeCode) ? oneBit(picture, settings)
                                              : displayColours(picture, settings.invert);
}

QByteArray ConvertToBitmap(const QImage& source, const ConversionSettings& settings)
{
    return AcceptedBitmap(settings.typeCode, ConvertToDisplay(source, settings));
}

QImage SwitchViewOfBitmap(qint16 typeCode, const QByteArray& bitmap, bool leftToRight)
{
    BitmapImage image;
    if (!ParseBitmap(bitmap, typeCode, image))
        return QImage();
    QString hex = PictureHexText(typeCode, image, leftToRight);
    if (typeCode == SwitchTypeCode::Lcd36x24)
        hex = Lcd36x24PictureBlock(hex, QStringLiteral("7"), QStringLiteral("7"));
    return DecodeSwitchPicture(typeCode, QByteArray::fromHex(hex.toLatin1()));
}

QStringList ReadablePicturePatterns()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return patterns;
}
