#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "PictureFileRecord.h"
#include "SwitchTypeCode.h"

// Everything process-wide: flags, the current type, the controller's answers, the port choice.
// The composition root creates one and hands it to whoever needs it; tests build a fresh one.
// Member names follow the operator-facing documentation of the program.
struct AppState
{
    // Current display type (see SwitchTypeCode); each screen saves and restores it.
    qint16 TypeCode = SwitchTypeCode::Oled64x48;
    // Setting code 0..7 reported by the last controller query.
    qint16 ControllerSetting = 0;
    // Controller name and firmware version from the last query that named them.
    QStringList ControllerInfo;
    // Address text last accepted by an address field (2 or 4 upper-case hex digits).
    QString CurrentAddress;
    // The invert flag of the one bitmap every encoder reads into: decided by a read while the
    // current type is MONO 96x64 and kept as it was by reads under any other type, so a mono
    // picture encoded then follows the last mono read.
    bool MonoInvertFlag = false;

    // --- reply state, written by the receive path
    QString ReplyCode; // "79", "6E", "no reply" or empty
    bool ReadyReceived = false;
    bool ReadySeen = false; // consumed by the ready wait
    QByteArray RawReply;    // received bytes since the last query cleared it
    QString ReplyLog;       // received bytes as hex pairs, until saved to the reply log
    qint64 ReceivedByteCount = 0;
    bool HideReceived = false; // received bytes are counted but not shown in the traffic log
    bool DataPhase = false;    // transfer pieces are echoed as they are, not byte by byte

    // --- flags
    bool BusyFlag = false;
    bool CancelFlag = false;
    bool StopTransferFlag = false;
    int ControllerCheckFlag = 1; // mirror of the "Controller" boxes: 0 ignores replies
    int LeftToRightFlag = 1;     // mirror of the "L to R" boxes: 0 mirrors colour pictures

    // --- port choice; port numbers are the catalog's 1..16
    QStringList PortList{QString(), QString()}; // element 0 unused, then the openable ports
    qint16 RequestedPort = 0;
    qint32 RequestedSpeed = 57600;
    qint16 OpenPortNumber = 0;
    qint32 OpenPortSpeed = 0;

    // --- per-record attribute lists shared by the screens, numbered from 1; they never shrink
    QStringList SwitchingAttributesList{QString()};
    QList<qint16> SwitchCountList{0};

    // --- the batch of the batch picture screen, numbered from 1 (element 0 unused). An import
    // replaces all of it; it outlives the screen, because the batch attribute table works on it.
    QString PictureFolder; // the folder of the last import, ending in a separator
    QStringList BatchFileNames{QString()};
    PictureFileRecords BatchRecords{PictureFileRecord{}}; // Path: the name inside PictureFolder
    QStringList DefaultAddressList{QString()};
    QStringList AssignedAddresses{QString()};
    QList<bool> CheckedFlags{false}; // the ticks as last read from the file list
};
