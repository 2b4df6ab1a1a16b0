#pragma once

// Driving a VirtualController synchronously: a script is a list of writes, where an empty entry
// stands for a quiet line (the gap after which the controller judges what it has).

#include "VirtualController.h"

#include <QList>
#include <QRandomGenerator>

using Script = QList<QByteArray>;

inline const QByteArray Idle;

enum class Delivery { Bulk, ByteByByte };

// Runs the script and returns everything the controller sent meanwhile.
inline QByteArray runScript(VirtualController& controller, const Script& script, Delivery delivery)
{
    QByteArray answers;
    const auto connection =
        QObject::connect(&controller, &VirtualController::transmit,
                         [&answers](const QByteArray& bytes) { answers += bytes; });
    for (const QByteArray& write : script) {
        if (write.isEmpty())
            controller.lineIdle();
        else if (delivery == Delivery::Bulk)
            controller.receive(write);
        else
            for (const char byte : write)
                controller.receive(QByteArray(1, byte));
    }
    QObject::disconnect(connection);
    return answers;
}

// The same picture bytes every run, different per type.
inline QByteArray samplePayload(int bytes, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray payload(bytes, Qt::Uninitialized);
    for (char& byte : payload)
        byte = char(generator.bounded(256));
    return payload;
}

// A transfer as the program sends it: the header in one write, then two digits per write.
inline Script transferScript(const QByteArray& header, const QByteArray& digits,
                             bool gapAfterHeader)
{
    Script script{header};
    if (gapAfterHeader)
        script.append(Idle);
    for (qsizetype i = 0; i < digits.size(); i += 2)
        script.append(digits.mid(i, 2));
    return script;
}
