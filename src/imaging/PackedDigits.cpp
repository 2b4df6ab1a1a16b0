#include "PackedDigits.h"

#include "DeviceFormat.h"

#include <algorithm>
#include <utility>

namespace {

// Reverses the order of the `chunk`-sized pieces of `in`, cut from its start (the last piece may
// be short).
QByteArray reverseChunks(const QByteArray& in, qsizetype chunk)
{
    QByteArray out(in.size(), Qt::Uninitialized);
    for (qsizetype from = 0; from < in.size(); from += chunk) {
        const qsizetype length = qMin(chunk, in.size() - from);
        const qsizetype to = in.size() - from - length;
        std::copy_n(in.constData() + from, length, out.data() + to);
    }
    return out;
}

QByteArray unpackNibbles(const QByteArray& bytes, qsizetype digits)
{
    QByteArray nibbles(digits, Qt::Uninitialized);
    for (qsizetype i = 0; i < digits; ++i) {
        const auto byte = quint8(bytes[i / 2]);
        nibbles[i] = char(i % 2 ? byte & 0x0f : byte >> 4);
    }
    return nibbles;
}

void appendPaletteText(PackedDigits& digits, const PaletteEntry& entry)
{
    const quint32 colour = entry.Red + 256u * entry.Green + 65536u * entry.Blue;
    bool leading = true;
    for (int shift = 20; shift >= 0; shift -= 4) {
        const int digit = (colour >> shift) & 0x0f;
        leading = leading && digit == 0 && shift > 0;
        if (!leading)
            digits.appendDigit(digit);
    }
}

} // namespace

void PackedDigits::appendDigit(int digit)
{
    if (m_oddDigit)
        m_bytes.back() = char(quint8(m_bytes.back()) | digit);
    else
        m_bytes.append(char(digit << 4));
    m_oddDigit = !m_oddDigit;
}

void PackedDigits::truncateDigits(qsizetype maxDigits)
{
    if (digitCount() <= maxDigits)
        return;
    m_bytes.truncate((maxDigits + 1) / 2);
    m_oddDigit = maxDigits % 2 == 1;
    if (m_oddDigit)
        m_bytes.back() = char(quint8(m_bytes.back()) & 0xf0);
}

void PackedDigits::keepLeadingBytesOfGroups(int keep, int group)
{
    const qsizetype lastByte = m_bytes.size() - 1;
    m_oddDigit = m_oddDigit && lastByte % group < keep;
    QByteArray kept;
    kept.reserve(m_bytes.size());
    for (qsizetype from = 0; from < m_bytes.size(); from += group)
        kept.append(m_bytes.constData() + from, qMin<qsizetype>(keep, m_bytes.size() - from));
    m_bytes = std::move(kept);
}

// A lone last digit is a piece of its own: its value v becomes the two digits of 255 - v.
void PackedDigits::invertBytes()
{
    if (m_oddDigit)
        m_bytes.back() = char(quint8(m_bytes.back()) >> 4);
    m_oddDigit = false;
    for (char& byte : m_bytes)
        byte = char(~quint8(byte));
}

void PackedDigits::reversePieces(int pieceDigits)
{
    if (!m_oddDigit && pieceDigits % 2 == 0) {
        m_bytes = reverseChunks(m_bytes, pieceDigits / 2);
        return;
    }
    const QByteArray nibbles = reverseChunks(unpackNibbles(m_bytes, digitCount()), pieceDigits);
    *this = {};
    for (char digit : nibbles)
        appendDigit(digit);
}

// Incomplete groups of six digits at the end are dropped; a lone digit is always among them.
void PackedDigits::convertColours()
{
    const qsizetype groups = digitCount() / 6;
    QByteArray out(groups * 2, Qt::Uninitialized);
    const auto* in = reinterpret_cast<const quint8*>(m_bytes.constData());
    for (qsizetype g = 0; g < groups; ++g) {
        const quint16 pixel = DeviceFormat::deviceFromBgr(in[3 * g], in[3 * g + 1], in[3 * g + 2]);
        out[2 * g] = char(pixel >> 8);
        out[2 * g + 1] = char(pixel & 0xff);
    }
    m_bytes = std::move(out);
    m_oddDigit = false;
}

// Runs after convertColours, so the text is whole 2-byte pixels: reversing a piece's bytes and
// then swapping each pair back reverses its pixels.
void PackedDigits::mirrorPixels(int pieceDigits)
{
    const qsizetype pieceBytes = pieceDigits / 2;
    char* data = m_bytes.data();
    for (qsizetype from = 0; from < m_bytes.size(); from += pieceBytes)
        std::reverse(data + from, data + from + qMin(pieceBytes, m_bytes.size() - from));
    for (qsizetype i = 0; i + 1 < m_bytes.size(); i += 2)
        std::swap(data[i], data[i + 1]);
}

QString PackedDigits::hexText() const
{
    static constexpr char16_t Digits[] = u"0123456789ABCDEF";
    const qsizetype count = digitCount();
    QString text(count, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i + 1 < count; i += 2) {
        const auto byte = quint8(m_bytes[i / 2]);
        out[i] = Digits[byte >> 4];
        out[i + 1] = Digits[byte & 0x0f];
    }
    if (m_oddDigit)
        out[count - 1] = Digits[quint8(m_bytes.back()) >> 4];
    return text;
}

PackedDigits PixelDigits(const BitmapImage& image, qsizetype maxDigits)
{
    const QByteArray& pixels = image.Pixels;
    PackedDigits digits;
    if (image.BitsPerPixel == 1 || image.BitsPerPixel == 24)
        digits = PackedDigits(pixels.left((maxDigits + 1) / 2));
    else if (image.BitsPerPixel == 8)
        for (qsizetype i = 0; i < pixels.size() && digits.digitCount() < maxDigits; ++i)
            appendPaletteText(digits, image.Palette.value(quint8(pixels[i])));
    digits.truncateDigits(maxDigits);
    return digits;
}
