#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// What the controller knows of each display type: the letter that names it in a command, how
// wide its addresses are, and how long its pictures and attribute records are. Commands carry no
// length, so these facts are how the controller tells where a command ends.

// One way a picture block can look after "(" (and the optional type letter): the address digits,
// then the picture as hex digits.
struct PictureForm
{
    qint16 typeCode = 0;
    int addressDigits = 0;
    int dataDigits = 0;

    int totalDigits() const { return addressDigits + dataDigits; }
};

// The type a command's letter names ('Q' LCD 36x24 .. 'V' COLOR 96x64); 0 for any other byte.
qint16 TypeFromLetter(char letter);
char LetterForType(qint16 typeCode);
// The type a setting digit fixes ('1'..'6'); 0 for "No Setting", "All Switches" and anything else.
qint16 TypeFromSettingDigit(char digit);
// "LCD 36x24" .. "COLOR 96x64"; "type N" for any other code.
QString TypeName(qint16 typeCode);

// The picture blocks a transfer may carry when its type is `typeCode`, or every block of every
// type when it is 0. Besides one picture per type, the LCD types also take 256 zero bytes, which
// is how the program blanks an LCD address. Where two forms have the same length, the first one
// listed wins (an LCD 64x32 picture before the LCD 36x24 blank).
QList<PictureForm> PictureFormsFor(qint16 typeCode);
// The address width all the forms share, or 0 when they disagree.
int SharedAddressDigits(const QList<PictureForm>& forms);
int LongestForm(const QList<PictureForm>& forms);
std::optional<PictureForm> FormWithTotal(const QList<PictureForm>& forms, int totalDigits);

// Whether an attribute record of `digits` hex digits fits the type (0: not stated, judged by the
// address width alone). LCD records hold 12, 16 or 32 digits; an LCD 64x32 record adds its two LED
// codes (2 to 4 digits); OLED and COLOR records hold 16, MONO records 28.
bool AttributeRecordFits(qint16 typeCode, int addressDigits, int digits);
// Address width of an attribute command whose type nobody stated: the two record lengths that
// only the wide-address types use mean 4 digits, anything else 2.
int GuessAttributeAddressDigits(int digitsAfterStar);

bool IsHexDigits(const QByteArray& text);
