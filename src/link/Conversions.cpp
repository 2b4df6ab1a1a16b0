#include "Conversions.h"

#include "AppState.h"

#include <QDeadlineTimer>
#include <QFileInfo>

namespace {

int hexDigitValue(QChar c)
{
    const char16_t u = c.toUpper().unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

const char* const kNibbleBits[16] = {"0000", "0001", "0010", "0011", "0100", "0101",
                                     "0110", "0111", "1000", "1001", "1010", "1011",
                                     "1100", "1101", "1110", "1111"};

} // namespace

bool IsHexText(const QString& text)
{
    QString digits = text;
    digits.remove(QLatin1Char(' '));
    for (QChar c : digits) {
        if (hexDigitValue(c) < 0)
            return false;
    }
    if (digits.size() == 1)
        return !digits.at(0).isDigit();
    return true;
}

QByteArray HexToBytes(const QString& hexText)
{
    QByteArray bytes;
    bytes.reserve(hexText.size() / 2 + 1);
    for (qsizetype i = 0; i < hexText.size(); i += 2) {
        bool ok = false;
        const uint value = hexText.mid(i, 2).toUInt(&ok, 16);
        bytes.append(ok ? char(value) : '\0');
    }
    return bytes;
}

qint32 HexToLong(const QString& text, bool shortForm)
{
    quint32 value = 0;
    int digits = 0;
    for (QChar c : text) {
        const int d = hexDigitValue(c);
        if (d < 0)
            break;
        value = (value << 4) | quint32(d);
        ++digits;
    }
    if (shortForm && digits <= 4)
        return qint16(quint16(value));
    return qint32(value);
}

QString TextToAsciiHex(const QString& text)
{
    QString out;
    for (QChar c : text) {
        // Only digits and the letters A..Z (in either case) are converted; anything else passes
        // through exactly as it was given.
        const char16_t u = c.toUpper().unicode();
        if ((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z'))
            out += QStringLiteral("%1").arg(uint(u), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

QString BinaryToHex(const QString& bits)
{
    QString out;
    for (qsizetype i = 0; i + 4 <= bits.size(); i += 4) {
        const QString group = bits.mid(i, 4);
        for (int n = 0; n < 16; ++n) {
            if (group == QLatin1String(kNibbleBits[n])) {
                out += QString::number(n, 16).toUpper();
                break;
            }
        }
    }
    return out;
}

QString HexToBinary(const QString& hex)
{
    QString out;
    for (QChar c : hex) {
        const int d = hexDigitValue(c);
        if (d >= 0)
            out += QLatin1String(kNibbleBits[d]);
    }
    return out;
}

int AddressWidth(qint16 typeCode)
{
    if (typeCode == SwitchTypeCode::Lcd36x24 || typeCode == SwitchTypeCode::Lcd64x32)
        return 2;
    if (typeCode >= SwitchTypeCode::Oled64x48 && typeCode <= SwitchTypeCode::Color96x64)
        return 4;
    return 0;
}

int HighestAddress(qint16 typeCode)
{
    return AddressWidth(typeCode) == 2 ? 0xFF : 0xFFFF;
}

QString PadAddress(const QString& text, int width)
{
    return text.rightJustified(width, QLatin1Char('0'));
}

QString FormatAddress(qint64 value, qint16 typeCode)
{
    return PadAddress(QString::number(value, 16).toUpper(), AddressWidth(typeCode));
}

QStringList MakeAddressList(int count, qint16 typeCode)
{
    return OffsetAddressList(count, typeCode, 0);
}

QStringList OffsetAddressList(int count, qint16 typeCode, qint64 offset)
{
    QStringList list(qMax(count, 0) + 1);
    if (AddressWidth(typeCode) == 0)
        return list;
    for (int i = 1; i <= count; ++i)
        list[i] = FormatAddress(offset + i, typeCode);
    return list;
}

QString BytesToHexPairs(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size() * 3);
    for (char byte : bytes) {
        out += QStringLiteral("%1 ").arg(uint(quint8(byte)), 2, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

qint64 GetTicks()
{
    return QDeadlineTimer::current().deadline();
}

bool FileExists(const QString& path)
{
    return QFileInfo(path).isFile();
}
