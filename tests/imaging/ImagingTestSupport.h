#pragma once

#include "Prompter.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QtEndian>

// Builds bitmap files byte by byte, so a test controls every header field, the palette and the
// pixel bytes (including what a real writer would never produce).
struct BitmapLayout
{
    qint32 Width = 0;
    qint32 Height = 0;
    quint16 BitsPerPixel = 24;
    qint32 XPelsPerMeter = 0;
    qint32 YPelsPerMeter = 0;
    QList<quint32> Palette; // 0x00RRGGBB per entry, written blue, green, red, 0
    QByteArray Pixels;      // rows as stored, bottom row first, padding included
    QByteArray Trailing;    // bytes after the pixel rows
};

inline void appendLittleEndian(QByteArray& out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xff));
}

inline QByteArray BuildBitmap(const BitmapLayout& layout)
{
    const quint32 offset = 54 + 4 * quint32(layout.Palette.size());
    QByteArray out;
    out.append("BM");
    appendLittleEndian(out, offset + quint32(layout.Pixels.size()), 4);
    appendLittleEndian(out, 0, 4);
    appendLittleEndian(out, offset, 4);
    appendLittleEndian(out, 40, 4);
    appendLittleEndian(out, quint32(layout.Width), 4);
    appendLittleEndian(out, quint32(layout.Height), 4);
    appendLittleEndian(out, 1, 2);
    appendLittleEndian(out, layout.BitsPerPixel, 2);
    appendLittleEndian(out, 0, 4);
    appendLittleEndian(out, quint32(layout.Pixels.size()), 4);
    appendLittleEndian(out, quint32(layout.XPelsPerMeter), 4);
    appendLittleEndian(out, quint32(layout.YPelsPerMeter), 4);
    appendLittleEndian(out, quint32(layout.Palette.size()), 4);
    appendLittleEndian(out, 0, 4);
    for (quint32 colour : layout.Palette)
        appendLittleEndian(out, colour & 0xffffff, 4);
    return out + layout.Pixels + layout.Trailing;
}

// 1-bit pictures with the usual black-then-white palette.
inline BitmapLayout MonoSpec(int width, int height, char fill)
{
    const int stride = ((width + 31) / 32) * 4;
    return {width, height, 1, 0, 0, {0x000000, 0xffffff}, QByteArray(stride * height, fill), {}};
}

// 24-bit pictures; `bgr` is one pixel's bytes as stored.
inline BitmapLayout ColourSpec(int width, int height, QByteArray bgr = QByteArray(3, 0))
{
    const int stride = ((width * 3 + 3) / 4) * 4;
    QByteArray row = bgr.repeated(width);
    row.append(QByteArray(stride - row.size(), 0));
    return {width, height, 24, 0, 0, {}, row.repeated(height), {}};
}

inline bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Answers every message with OK and keeps what was shown.
class RecordingPrompter : public Prompter
{
public:
    struct Shown
    {
        QString Text;
        QString Title;
        MessageIcon Icon;
    };

    MessageAnswer message(const QString& text, const QString& title, MessageIcon icon,
                          MessageButtons) override
    {
        m_shown.append({text, title, icon});
        return MessageAnswer::Ok;
    }

    const QList<Shown>& shown() const { return m_shown; }

private:
    QList<Shown> m_shown;
};
