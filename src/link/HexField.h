#pragma once

#include <QString>

// The check every address and attribute entry field makes before its value is used.
struct HexFieldVerdict
{
    bool accepted = false;
    QString text;    // the accepted value, upper-cased (empty for an empty field)
    QString message; // why it was refused, shown under InputDataTitle
};

inline const QString InputDataTitle = QStringLiteral("Input Data Message");

HexFieldVerdict CheckHexField(const QString& text, int length, qint64 maximum);
