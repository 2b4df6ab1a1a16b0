#include "Bitmap.h"

#include "PackedDigits.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr qint16 MonoTypeCode = 5;

class LittleEndianReader
{
public:
    explicit LittleEndianReader(const QByteArray& bytes)
        : m_bytes(bytes)
    {
    }

    template <typename T> T next()
    {
        const T value = qFromLittleEndian<T>(m_bytes.constData() + m_at);
        m_at += sizeof(T);
        return value;
    }

private:
    const QByteArray& m_bytes;
    qsizetype m_at = 0;
};

int paletteEntries(quint16 bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

// The palette sits right after the headers whatever the pixel offset says; entries the file is
// too short to hold read as black.
QList<PaletteEntry> readPalette(const QByteArray& file, quint16 bitsPerPixel)
{
    QList<PaletteEntry> palette(paletteEntries(bitsPerPixel));
    for (qsizetype i = 0; i < palette.size(); ++i) {
        const qsizetype at = BitmapHeadersBytes + 4 * i;
        if (at + 4 > file.size())
            break;
        palette[i] = {quint8(file[at]), quint8(file[at + 1]), quint8(file[at + 2]),
                      quint8(file[at + 3])};
    }
    return palette;
}

} // namespace

bool ParseBitmap(const QByteArray& file, qint16 currentTypeCode, BitmapImage& image)
{
    if (file.size() < BitmapHeadersBytes)
        return false;
    LittleEndianReader in(file);
    BitmapFileHeader fh;
    fh.Signature = in.next<quint16>();
    fh.FileSize = in.next<quint32>();
    fh.Reserved1 = in.next<quint16>();
    fh.Reserved2 = in.next<quint16>();
    fh.PixelOffset = in.next<quint32>();
    if (fh.PixelOffset > quint64(file.size()))
        return false;
    BitmapInfoHeader ih;
    ih.HeaderSize = in.next<quint32>();
    ih.Width = in.next<qint32>();
    ih.Height = in.next<qint32>();
    ih.Planes = in.next<quint16>();
    ih.BitsPerPixel = in.next<quint16>();
    ih.Compression = in.next<quint32>();
    ih.ImageSize = in.next<quint32>();
    ih.XPelsPerMeter = in.next<qint32>();
    ih.YPelsPerMeter = in.next<qint32>();
    ih.ColoursUsed = in.next<quint32>();
    ih.ColoursImportant = in.next<quint32>();

    image.FileHeader = fh;
    image.InfoHeader = ih;
    image.BitsPerPixel = ih.BitsPerPixel;
    image.Palette = readPalette(file, ih.BitsPerPixel);
    if (currentTypeCode == MonoTypeCode)
        image.MonoInvertFlag = ih.XPelsPerMeter != 0 || ih.YPelsPerMeter != 0;
    image.Pixels = file.mid(fh.PixelOffset);
    return true;
}

bool ReadBitmap(const QString& path, qint16 currentTypeCode, BitmapImage& image)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    return ParseBitmap(bytes, currentTypeCode, image);
}

QString PixelHexText(const BitmapImage& image)
{
    return PixelDigits(image, image.Pixels.size() * 6).hexText();
}
