#pragma once

#include "Bitmap.h"

#include <QByteArray>
#include <QString>

// A hex text held two digits per byte, so that the encoders' steps, which are defined on the text
// of a picture's pixel bytes, run on bytes and the text is written once at the end. An odd number
// of digits (possible only with the palette text of 8-bit pictures) leaves the last byte's low
// nibble unused; every step treats that lone digit exactly as the text steps would.
class PackedDigits
{
public:
    PackedDigits() = default;
    explicit PackedDigits(QByteArray bytes)
        : m_bytes(std::move(bytes))
    {
    }

    qsizetype digitCount() const { return 2 * m_bytes.size() - (m_oddDigit ? 1 : 0); }
    const QByteArray& bytes() const { return m_bytes; }
    bool hasOddDigit() const { return m_oddDigit; }

    // Appends one digit 0..15.
    void appendDigit(int digit);
    // Keeps the first `maxDigits` digits.
    void truncateDigits(qsizetype maxDigits);
    // The text steps, each walking the digits once.
    void keepLeadingBytesOfGroups(int keep, int group); // per `group` bytes keep the first `keep`
    void invertBytes();                                 // every 2-digit piece v becomes 255 - v
    void reversePieces(int pieceDigits);                // pieces from the start, put last first
    void convertColours();                              // 6 digits (B, G, R) in, 4 digits out
    void mirrorPixels(int pieceDigits);                 // reverse the 4-digit pixels of each piece

    QString hexText() const;

private:
    QByteArray m_bytes;
    bool m_oddDigit = false;
};

// The first `maxDigits` digits (an even count) of PixelHexText(image).
PackedDigits PixelDigits(const BitmapImage& image, qsizetype maxDigits);
