#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What the controller says of itself, read from its answer to the query "&RX":
// 'a', a setting digit, its name, a version letter, the firmware version, 'y'.
struct QueryReply
{
    qint16 setting = 0;
    bool named = false; // a version letter was found, so name and version are known
    QStringList info;   // the body split at that letter: name, version, ...
};

QueryReply ParseQueryReply(const QByteArray& rawReply);
// "No Setting", the six display types, "All Switches"; empty for any other code.
QString ControllerSettingText(int setting);
