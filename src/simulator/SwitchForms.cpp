#include "SwitchForms.h"

#include "AppState.h"
#include "Conversions.h"
#include "Decoders.h"

#include <algorithm>

namespace {

constexpr qint16 FirstType = SwitchTypeCode::Lcd36x24;
constexpr qint16 LastType = SwitchTypeCode::Color96x64;
// The program blanks an LCD address by sending 256 zero bytes as its picture.
constexpr int LcdBlankDigits = 2 * 256;

bool isDisplayType(qint16 typeCode)
{
    return typeCode >= FirstType && typeCode <= LastType;
}

} // namespace

qint16 TypeFromLetter(char letter)
{
    const qint16 type = qint16(letter - 'P');
    return isDisplayType(type) ? type : 0;
}

char LetterForType(qint16 typeCode)
{
    return isDisplayType(typeCode) ? char('P' + typeCode) : '?';
}

qint16 TypeFromSettingDigit(char digit)
{
    const qint16 type = qint16(digit - '0');
    return isDisplayType(type) ? type : 0;
}

QString TypeName(qint16 typeCode)
{
    static const char* const names[] = {"LCD 36x24",  "LCD 64x32",  "OLED 64x48",
                                        "OLED 52x36", "MONO 96x64", "COLOR 96x64"};
    if (!isDisplayType(typeCode))
        return QStringLiteral("type %1").arg(typeCode);
    return QString::fromLatin1(names[typeCode - FirstType]);
}

QList<PictureForm> PictureFormsFor(qint16 typeCode)
{
    // Listed so that the LCD 64x32 picture comes before the LCD 36x24 blank of the same length.
    static const qint16 order[] = {SwitchTypeCode::Lcd64x32,  SwitchTypeCode::Lcd36x24,
                                   SwitchTypeCode::Oled64x48, SwitchTypeCode::Oled52x36,
                                   SwitchTypeCode::Mono96x64, SwitchTypeCode::Color96x64};
    QList<PictureForm> forms;
    for (const qint16 type : order) {
        if (typeCode != 0 && type != typeCode)
            continue;
        forms.append({type, AddressWidth(type), 2 * PayloadBytes(type)});
        if (type == SwitchTypeCode::Lcd36x24)
            forms.append({type, AddressWidth(type), LcdBlankDigits});
    }
    return forms;
}

int SharedAddressDigits(const QList<PictureForm>& forms)
{
    if (forms.isEmpty())
        return 0;
    const int digits = forms.first().addressDigits;
    const bool shared = std::all_of(forms.begin(), forms.end(), [digits](const PictureForm& form) {
        return form.addressDigits == digits;
    });
    return shared ? digits : 0;
}

int LongestForm(const QList<PictureForm>& forms)
{
    int longest = 0;
    for (const PictureForm& form : forms)
        longest = std::max(longest, form.totalDigits());
    return longest;
}

std::optional<PictureForm> FormWithTotal(const QList<PictureForm>& forms, int totalDigits)
{
    for (const PictureForm& form : forms)
        if (form.totalDigits() == totalDigits)
            return form;
    return std::nullopt;
}

bool AttributeRecordFits(qint16 typeCode, int addressDigits, int digits)
{
    const auto lcdRecord = [](int n) { return n == 12 || n == 16 || n == 32; };
    const auto lcd64x32Record = [&](int n) {
        return lcdRecord(n - 2) || lcdRecord(n - 3) || lcdRecord(n - 4);
    };
    switch (typeCode) {
    case SwitchTypeCode::Lcd36x24:
        return lcdRecord(digits);
    case SwitchTypeCode::Lcd64x32:
        return lcd64x32Record(digits);
    case SwitchTypeCode::Mono96x64:
        return digits == 28;
    case 0:
        if (addressDigits == 2)
            return lcdRecord(digits) || lcd64x32Record(digits);
        return digits == 16 || digits == 28;
    default:
        return digits == 16;
    }
}

int GuessAttributeAddressDigits(int digitsAfterStar)
{
    return digitsAfterStar == 4 + 16 || digitsAfterStar == 4 + 28 ? 4 : 2;
}

bool IsHexDigits(const QByteArray& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    });
}
