#include "SwitchCommands.h"

#include "AppState.h"
#include "ControllerLink.h"
#include "Conversions.h"
#include "Prompter.h"

#include <QFile>

namespace {

bool confirmType(const AppState& state, Prompter& prompter, const QString& text)
{
    if (state.TypeCode == SwitchTypeCode::Mono96x64 || state.TypeCode == state.ControllerSetting ||
        state.ControllerCheckFlag == 0)
        return true;
    return prompter.message(text, QStringLiteral("Download Picture Message"), MessageIcon::Question,
                            MessageButtons::YesNo) == MessageAnswer::Yes;
}

const QString PictureMismatch =
    QStringLiteral("Image file type does not match Controller or Controller Setting.\r");

} // namespace

bool ConfirmPictureType(const AppState& state, Prompter& prompter)
{
    return confirmType(state, prompter,
                       PictureMismatch +
                           QStringLiteral("Do you wish to download image file anyway?"));
}

bool ConfirmClearType(const AppState& state, Prompter& prompter)
{
    return confirmType(state, prompter,
                       PictureMismatch +
                           QStringLiteral("Do you wish to attempt to clear address anyway?"));
}

bool ConfirmAttributeType(const AppState& state, Prompter& prompter)
{
    return confirmType(
        state, prompter,
        QStringLiteral("Attribute type does not match Controller or Controller Setting.\r"
                       "Do you wish to download attributes anyway?"));
}

QByteArray BuildAttributeCommand(bool withTypeLetter, qint16 currentTypeCode,
                                 const PictureFileRecords& records, const QString& addressText,
                                 int index)
{
    if (index < 0 || index >= records.size())
        return QByteArray();
    const PictureFileRecord& record = records.at(index);
    const QByteArray letter =
        withTypeLetter ? HexToBytes(QStringLiteral("5%1").arg(currentTypeCode)) : QByteArray();
    const QByteArray address = addressText.toLatin1();
    const QByteArray attributes = record.Attributes.toLatin1();
    switch (record.TypeCode) {
    case SwitchTypeCode::Lcd64x32:
        return "*" + letter + address + attributes + record.LEDon.toLatin1() +
               record.LEDoff.toLatin1();
    case SwitchTypeCode::Mono96x64:
        return "*U" + address + attributes;
    default:
        return "*" + letter + address + attributes;
    }
}

QString LcdClearData()
{
    constexpr int LcdClearBytes = 256;
    return QString(2 * LcdClearBytes, QLatin1Char('0'));
}

QString ClearCommandHex(const QString& addressText)
{
    return QStringLiteral("27 43 ") + TextToAsciiHex(addressText) + QStringLiteral("30303030");
}

QString LedTesterCommand(int index)
{
    static const char* const ColourCodes[] = {"46", "43", "44", "45"}; // O, G, R, A
    static const char* const Fixed[] = {"2730313031", "2730313030", "264F1B24"};
    if (index >= 0 && index < 4)
        return QStringLiteral("26") + QLatin1String(ColourCodes[index]) + QStringLiteral("58");
    if (index >= 4 && index < 7)
        return QString::fromLatin1(Fixed[index - 4]);
    return QString();
}

QString ReadFileHeader(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLatin1(file.read(8).toHex().toUpper());
}

QByteArray TextFileLineBytes(const QString& line, bool sendAsCharacters)
{
    QString text = line;
    text.remove(QLatin1Char('\n')).remove(QLatin1Char('\r')).remove(QLatin1Char(' '));
    if (!sendAsCharacters)
        return text.toLatin1();
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); i += 2)
        bytes += HexToBytes(text.mid(i, 2).toUpper().rightJustified(2, QLatin1Char('0')));
    return bytes;
}

TextFileSend SendTextFile(ControllerLink& link, const QString& path, bool sendAsCharacters)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return TextFileSend::Unreadable;
    constexpr int HeaderLength = 8;
    bool headerPending = true;
    QString accumulator;
    while (!file.atEnd()) {
        QString line = QString::fromLatin1(file.readLine());
        if (file.error() != QFileDevice::NoError)
            return TextFileSend::Unreadable;
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (headerPending) {
            // The header may span lines; what follows its eighth character is data.
            accumulator += line;
            if (accumulator.size() <= HeaderLength)
                continue;
            line = accumulator.mid(HeaderLength);
            headerPending = false;
        }
        link.TransferText(TextFileLineBytes(line, sendAsCharacters));
        // The rest of the file cannot follow a lost port or a blocked line.
        if (!link.isPortOpen() || link.lineBlocked())
            return TextFileSend::CutShort;
    }
    return TextFileSend::Sent;
}

QByteArray TransferHeader(qint16 typeCode, bool withTypeLetter, const QString& addressText)
{
    QByteArray header("(");
    if (typeCode == SwitchTypeCode::Mono96x64)
        header += 'U';
    else if (withTypeLetter)
        header += HexToBytes(QStringLiteral("5%1").arg(typeCode));
    return header + addressText.toLatin1();
}
