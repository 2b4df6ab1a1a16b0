#include "SwitchDataFile.h"

#include "Decoders.h"
#include "SwitchTypeCode.h"

#include <algorithm>

namespace {

constexpr qsizetype HeaderBytes = 8;
constexpr qsizetype Lcd64x32RowBytes = 8;
constexpr qsizetype Lcd64x32Rows = 32;

// "QVR1", bits per pixel (1 or 16), 00, width, height.
QByteArray headerBytes(qint16 typeCode)
{
    if (typeCode == SwitchTypeCode::Lcd36x24 || PayloadBytes(typeCode) == 0)
        return QByteArray();
    const bool colour = typeCode == SwitchTypeCode::Oled64x48 ||
                        typeCode == SwitchTypeCode::Oled52x36 ||
                        typeCode == SwitchTypeCode::Color96x64;
    const QSize size = DisplaySize(typeCode);
    return QByteArray("QVR1") + char(colour ? 0x10 : 0x01) + '\0' + char(size.width()) +
           char(size.height());
}

// All bytes reversed, then cut into the display's 32 rows of 8 bytes taken last row first: each
// row's bytes end up reversed in place. Its own inverse on a whole picture.
QByteArray turnRowsRound(const QByteArray& bytes)
{
    QByteArray reversed(bytes);
    std::reverse(reversed.begin(), reversed.end());
    QByteArray rows;
    rows.reserve(bytes.size());
    for (qsizetype row = Lcd64x32Rows - 1; row >= 0; --row)
        rows += reversed.mid(row * Lcd64x32RowBytes, Lcd64x32RowBytes);
    return rows;
}

} // namespace

QString SwitchDataHeader(qint16 typeCode)
{
    return QString::fromLatin1(headerBytes(typeCode).toHex().toUpper());
}

qint16 SwitchDataHeaderType(const QByteArray& firstBytes)
{
    const QByteArray start = firstBytes.left(HeaderBytes);
    for (qint16 type = SwitchTypeCode::Lcd64x32; type <= SwitchTypeCode::Color96x64; ++type) {
        if (start == headerBytes(type))
            return type;
    }
    return 0;
}

qint64 SwitchDataFileLength(qint16 typeCode)
{
    return headerBytes(typeCode).size() + PayloadBytes(typeCode);
}

qint16 SwitchDataFileType(const QByteArray& firstBytes, qint64 length)
{
    if (const qint16 type = SwitchDataHeaderType(firstBytes))
        return length == SwitchDataFileLength(type) ? type : 0;
    return length == SwitchDataFileLength(SwitchTypeCode::Lcd36x24) ? SwitchTypeCode::Lcd36x24 : 0;
}

QString SwitchDataHexText(qint16 typeCode, const QByteArray& fileBytes)
{
    QByteArray picture = fileBytes.mid(typeCode == SwitchTypeCode::Lcd36x24 ? 0 : HeaderBytes);
    if (typeCode == SwitchTypeCode::Lcd64x32)
        picture = turnRowsRound(picture);
    return QString::fromLatin1(picture.toHex().toUpper());
}

QByteArray SwitchDataFileBytes(qint16 typeCode, const QByteArray& pictureBytes)
{
    return headerBytes(typeCode) +
           (typeCode == SwitchTypeCode::Lcd64x32 ? turnRowsRound(pictureBytes) : pictureBytes);
}

QString TextSwitchDataHexText(const QByteArray& fileBytes)
{
    QString text = QString::fromLatin1(fileBytes.mid(HeaderBytes));
    text.remove(u'\r').remove(u'\n').remove(u' ');
    return text;
}
