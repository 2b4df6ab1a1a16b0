#pragma once

#include "ControllerOperations.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

// One picture a controller holds: its display type, its address and the picture bytes (the hex
// digits of the transfer decoded).
struct StoredPicture
{
    qint16 typeCode = 0;
    quint16 address = 0;
    QByteArray payload;
};

// One picture transfer as it ended: what went to which address, the file it came from (empty when
// the caller named none) and how the controller answered.
struct TransferReport
{
    StoredPicture picture;
    QString source;
    ReplyOutcome outcome = ReplyOutcome::NotReady;
};

// A controller whose memory the program can read directly: the built-in virtual controller. With
// a controller on a cable, the program knows only what it has sent.
class ControllerMemory : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual QList<StoredPicture> pictures() const = 0; // by type, then address

Q_SIGNALS:
    // A picture was stored or an address cleared.
    void memoryChanged();
};
