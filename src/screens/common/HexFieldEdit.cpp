#include "HexFieldEdit.h"

#include "Conversions.h"
#include "HexField.h"
#include "Prompter.h"

#include <QLineEdit>

QString ValidateHexField(QLineEdit* box, int length, qint64 maximum, Prompter& prompter)
{
    const HexFieldVerdict verdict = CheckHexField(box->text(), length, maximum);
    if (verdict.accepted) {
        if (!verdict.text.isEmpty()) {
            box->setText(verdict.text);
            box->setCursorPosition(int(verdict.text.size()));
        }
        return verdict.text;
    }
    prompter.message(verdict.message, InputDataTitle, MessageIcon::Information);
    box->setFocus();
    box->selectAll();
    return QStringLiteral("Cancel");
}

QString ValidateAddressField(QLineEdit* box, qint16 typeCode, Prompter& prompter)
{
    const int width = AddressWidth(typeCode);
    box->setText(PadAddress(box->text(), width));
    return ValidateHexField(box, width, HighestAddress(typeCode), prompter);
}
