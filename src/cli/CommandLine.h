#pragma once

#include "PictureConversion.h"

#include <QString>
#include <QStringList>

#include <optional>

enum class CliCommand {
    Ports,
    Query,
    Send,
    Download,
    Convert,
    Clear,
    Upload,
    Text,
    Attributes,
    Batch
};

// How a batch meets several ports: each port its consecutive share of the folder, or each port
// the whole batch.
enum class BatchSpread { Split, Each };

// Speeds the controller board runs at; the program offers no others.
inline constexpr qint32 LineSpeeds[] = {9600, 19200, 57600, 115200};
inline constexpr qint32 DefaultLineSpeed = 57600;

// One run of vantrel-cli, as the operator asked for it. Whatever needs a file, the port or the
// switch type to be judged (the address, the file itself) is checked later, by the session.
struct CliRequest
{
    CliCommand command = CliCommand::Ports;
    QStringList arguments; // send: the command words; download, text: the file; convert: a
                           // file or a folder; attributes: digits with --address, a saved
                           // attribute file without
    QString port = QStringLiteral("1");
    QStringList ports; // batch: every --port given, in order; the others use `port`
    qint32 speed = DefaultLineSpeed;
    bool withTypeLetter = false;
    qint16 typeCode = 0; // 0 when --type was not given
    QString address;
    bool asCharacters = false; // text: each pair of hex digits goes as the byte it names
    QString output;
    // convert: set when any picture conversion option was given; its type is --type's.
    std::optional<ConversionSettings> conversion;
    QString ledOff = QStringLiteral("0");
    QString ledOn = QStringLiteral("0");
    int switches = 2; // attributes FILE: the LCD "Number of Switches"
    QString start;    // attributes FILE without addresses, batch: the first address
    // batch
    QString addressesFile;
    bool reverse = false;
    bool refresh = false;
    QString report;
    QStringList resume; // reports, one or one per port of an earlier parallel run
    BatchSpread spread = BatchSpread::Split;
    bool traffic = false;
};

// What the command line asked for: a request, a text to print and leave (help, version), or
// the reason it cannot be run.
struct ParsedCommandLine
{
    std::optional<CliRequest> request;
    QString printAndExit;
    QString usageError;
};

ParsedCommandLine ParseCommandLine(const QStringList& arguments);

// A switch type by its name as the operator sees it ("COLOR 96x64"; case and spaces do not
// matter) or by its number 1..6; 0 for anything else.
qint16 TypeCodeFromText(const QString& text);
