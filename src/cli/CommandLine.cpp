#include "CommandLine.h"

#include "ControllerQuery.h"

#include <QCommandLineParser>

#include <algorithm>
#include <tuple>
#include <utility>

namespace {

struct CommandRule
{
    const char* name;
    CliCommand command;
    int minArguments;
    int maxArguments; // -1: no limit
    bool needsAddress;
    bool needsType;
    bool needsAs;
    bool needsOutput;
    const char* usage;
};

constexpr CommandRule Commands[] = {
    {"ports", CliCommand::Ports, 0, 0, false, false, false, false, "ports"},
    {"query", CliCommand::Query, 0, 0, false, false, false, false, "query"},
    {"send", CliCommand::Send, 1, -1, false, false, false, false, "send HEX..."},
    {"download", CliCommand::Download, 1, 1, true, false, false, false,
     "download FILE --address A"},
    {"convert", CliCommand::Convert, 1, 1, false, false, false, true,
     "convert FILE|FOLDER [--type T] [conversion options] --output OUT"},
    {"clear", CliCommand::Clear, 0, 0, true, true, false, false, "clear --address A --type T"},
    {"upload", CliCommand::Upload, 0, 0, true, true, false, false, "upload --address A --type T"},
    {"text", CliCommand::Text, 1, 1, false, false, true, false, "text FILE --as chars|hex"},
    // With --address one record of hex digits, without it a saved attribute file.
    {"attributes", CliCommand::Attributes, 1, 1, false, true, false, false,
     "attributes DIGITS --address A --type T | attributes FILE --type T"},
    {"batch", CliCommand::Batch, 1, 1, false, true, false, false,
     "batch FOLDER --type T [--start A | --addresses FILE] [--reverse] [--refresh] "
     "[--report OUT.csv|OUT.json] [--resume REPORT] [--port P --port P ... --split|--each]"},
};

const char* const Description =
    R"(Talks to a Glintkey controller without a window, through the same link, encoders and
transfer as the Vantrel program.

Commands:
  ports                        the numbered serial ports with device names and descriptions
  query                        the controller's name, firmware version and setting
  send HEX...                  a manual command: hex digits (spaces allowed) or plain text
  download FILE --address A    a picture file: a bitmap, encoded for the switch type its
                               length names, or a switch data file, sent as it is
  convert FILE --output OUT    a picture file written as the output's name asks: the bitmap
                               the program accepts (.bmp), an image of what the switch shows
                               (.png and the other image names) or a switch data file (.sd or
                               any other name); no port
  convert PICTURE --type T [conversion options] --output OUT
                               any picture this machine reads (PNG, JPEG, GIF, BMP of any size)
                               fitted to the type's display, then written as above
  convert FOLDER --type T [conversion options] --output FOLDER
                               every picture of a folder as accepted bitmaps (NAME.bmp) in
                               another folder, on all cores; one line per picture that failed
  clear --address A --type T   blanks an address
  upload --address A --type T  reads a stored picture back: printed, or written with --output
                               as a bitmap (.bmp), an image, a switch data file (.sd) or the
                               uploaded text
  text FILE --as chars|hex     streams a raw data file (it begins with RAW DATA)
  attributes DIGITS --address A --type T
                               an attribute record: the hex digits that follow the address
                               (LCD 64x32: the switching attributes, then LED on and LED off)
  attributes FILE --type T [--switches 2|8|16] [--start A]
                               every line of a saved attribute file, as the batch attribute
                               window sends it, six attempts per line; one outcome line each.
                               Lines without an address field take consecutive addresses
                               from --start. Without --address the argument is a file.

  batch FOLDER --type T [--start A | --addresses FILE] [--reverse] [--refresh]
        [--report OUT.csv|OUT.json] [--resume REPORT]
                               the batch picture window's run: every bitmap of the folder the
                               type takes, in the window's order, to consecutive addresses from
                               1 or --start (hex), or one address per line of --addresses (in
                               file order); --reverse turns the block round. Six attempts per
                               picture; a picture that still fails is listed and the run goes
                               on; a blocked line ends the run. --refresh ends a run that
                               downloaded anything with the controller's refresh. The report has
                               one line per picture: file, address, attempts, outcome (done,
                               refused, no reply, blocked, skipped), seconds, bytes; CSV, or JSON for a .json name. --resume sends only
                               what earlier reports (one or several) do not mark done.
  batch FOLDER ... --port P1 --port P2 ... --split|--each
                               several controllers at once, one thread each: --split gives each
                               port its consecutive share at the addresses it would have had,
                               --each the whole batch to every port. Reports OUT-1.csv,
                               OUT-2.csv ... in --port order; a summary per port and overall.

Switch types for --type, by number or name: 1 "LCD 36x24", 2 "LCD 64x32", 3 "OLED 64x48",
4 "OLED 52x36", 5 "MONO 96x64", 6 "COLOR 96x64". The type sets the address width: 2 hex
digits (1..FF) for the LCD types, 4 (1..FFFF) for the others. download and convert take
the type from a switch picture file; a conversion needs it.

Conversion options (convert; they need --type): --fit contain|cover|stretch, --crop X,Y,
--background COLOUR, --rotate 0|90|180|270, --flip h|v|hv, --brightness N, --contrast N,
--dither none|floyd|atkinson|ordered, --threshold N, --invert. A picture that is no switch
picture file is converted with the defaults of any not given.

Picture files: a bitmap (its length names its switch type); a switch data file (.sd or any
name but .bmp and .txt: an 8-byte header naming the display, then the picture as the
controller stores it; LCD 36x24 files are the 125-byte picture block alone); a hex-text
switch data file (.txt: any 8 bytes, then hex digits; it needs --type).

Progress is drawn on the terminal; outcome texts go to standard output, messages to standard
error.

Exit status: 0 the controller answered "79" (done; batch: every picture done), 1 it answered
"6E" (error; batch: a picture refused on its last attempt), 2 no reply (batch: a picture
unanswered on its last attempt, which outweighs a refusal),
3 usage, file or port error, 4 the line was blocked (the controller stopped taking data) before
everything was sent (batch: it ended the run).)";

QCommandLineOption valued(const char* name, const char* help, const char* value)
{
    return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help),
                              QString::fromLatin1(value));
}

QCommandLineOption flag(const char* name, const char* help)
{
    return QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help));
}

const CommandRule* findCommand(const QString& name)
{
    const auto it = std::find_if(std::begin(Commands), std::end(Commands),
                                 [&](const CommandRule& rule) { return name == rule.name; });
    return it == std::end(Commands) ? nullptr : it;
}

bool isHexDigits(const QString& text)
{
    static const QString digits = QStringLiteral("0123456789ABCDEF");
    return !text.isEmpty() && std::all_of(text.begin(), text.end(),
                                          [](QChar c) { return digits.contains(c.toUpper()); });
}

constexpr int SwitchCounts[] = {2, 8, 16};

bool takesPictureFile(CliCommand command)
{
    return command == CliCommand::Download || command == CliCommand::Convert;
}

bool isHexDigit(const QString& text)
{
    return text.size() == 1 && isHexDigits(text);
}

bool anySet(const QCommandLineParser& parser, std::initializer_list<const char*> names)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const char* name) { return parser.isSet(QLatin1String(name)); });
}

// The batch options: only with batch, and not at odds with one another.
QString checkBatch(const CommandRule& rule, const QCommandLineParser& parser,
                   const CliRequest& request)
{
    if (rule.command != CliCommand::Batch) {
        if (anySet(parser,
                   {"addresses", "reverse", "refresh", "report", "resume", "split", "each"}))
            return QStringLiteral("--addresses, --reverse, --refresh, --report, --resume, --split "
                                  "and --each apply to batch only");
        if (request.ports.size() > 1)
            return QStringLiteral("only batch takes several --port");
        return QString();
    }
    if (parser.isSet(QStringLiteral("start")) && parser.isSet(QStringLiteral("addresses")))
        return QStringLiteral("give --start or --addresses, not both");
    if (parser.isSet(QStringLiteral("split")) && parser.isSet(QStringLiteral("each")))
        return QStringLiteral("give --split or --each, not both");
    if (request.ports.size() > 1 && !anySet(parser, {"split", "each"}))
        return QStringLiteral("several --port need --split (each port a share of the folder) or "
                              "--each (every port the whole batch)");
    // Every "sim" is a virtual controller of its own; a device cannot serve two runs.
    QStringList devices = request.ports;
    devices.removeAll(QStringLiteral("sim"));
    if (devices.removeDuplicates() != 0)
        return QStringLiteral("each --port may be given once (sim excepted: each is a virtual "
                              "controller of its own)");
    const QString report = request.report.toLower();
    if (!report.isEmpty() && !report.endsWith(QLatin1String(".csv")) &&
        !report.endsWith(QLatin1String(".json")))
        return QStringLiteral("--report must name a .csv or a .json file");
    return QString();
}

// Checks what the command needs and the option values; the empty text when all is well.
QString checkRequest(const CommandRule& rule, const QStringList& arguments,
                     const QCommandLineParser& parser, const CliRequest& request)
{
    const QString usage = QStringLiteral("usage: vantrel-cli %1").arg(rule.usage);
    if (arguments.size() < rule.minArguments ||
        (rule.maxArguments >= 0 && arguments.size() > rule.maxArguments))
        return usage;
    if (rule.needsAddress && request.address.isEmpty())
        return QStringLiteral("%1 needs --address; %2").arg(rule.name, usage);
    if (rule.needsType && !parser.isSet(QStringLiteral("type")))
        return QStringLiteral("%1 needs --type, which sets the address width; %2")
            .arg(rule.name, usage);
    if (rule.needsAs && !parser.isSet(QStringLiteral("as")))
        return QStringLiteral("%1 needs --as chars or --as hex; %2").arg(rule.name, usage);
    if (rule.needsOutput && request.output.isEmpty())
        return QStringLiteral("%1 needs --output; %2").arg(rule.name, usage);
    if (takesPictureFile(rule.command) && !parser.isSet(QStringLiteral("type")) &&
        arguments.constFirst().endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        return QStringLiteral("%1 needs --type for a hex-text file (.txt), which does not name "
                              "its switch type; %2 --type T")
            .arg(rule.name, usage);
    if (!std::count(std::begin(LineSpeeds), std::end(LineSpeeds), request.speed))
        return QStringLiteral("--speed must be 9600, 19200, 57600 or 115200");
    if (parser.isSet(QStringLiteral("type")) && request.typeCode == 0)
        return QStringLiteral("unknown switch type '%1': give 1..6 or a name such as "
                              "\"COLOR 96x64\"")
            .arg(parser.value(QStringLiteral("type")));
    const QString as = parser.value(QStringLiteral("as"));
    if (parser.isSet(QStringLiteral("as")) && as != QLatin1String("chars") &&
        as != QLatin1String("hex"))
        return QStringLiteral("--as must be chars or hex");
    if (!isHexDigit(request.ledOff) || !isHexDigit(request.ledOn))
        return QStringLiteral("--led-off and --led-on take one hex digit");
    if (rule.command == CliCommand::Attributes && !request.address.isEmpty() &&
        !isHexDigits(arguments.constFirst()))
        return QStringLiteral("attribute digits must be hex digits (0-9, A-F)");
    if (!std::count(std::begin(SwitchCounts), std::end(SwitchCounts), request.switches))
        return QStringLiteral("--switches must be 2, 8 or 16");
    if (request.conversion && rule.command != CliCommand::Convert)
        return QStringLiteral("the picture conversion options apply to convert only");
    return checkBatch(rule, parser, request);
}

std::optional<int> numberIn(const QString& text, int lowest, int highest)
{
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if (!isNumber || number < lowest || number > highest)
        return std::nullopt;
    return number;
}

template <typename Value, std::size_t Count>
std::optional<Value> namedValue(const QString& text,
                                const std::pair<const char*, Value> (&names)[Count])
{
    for (const auto& [name, value] : names) {
        if (text == QLatin1String(name))
            return value;
    }
    return std::nullopt;
}

constexpr std::pair<const char*, PictureFit> Fits[] = {{"contain", PictureFit::Contain},
                                                       {"cover", PictureFit::Cover},
                                                       {"stretch", PictureFit::Stretch}};
constexpr std::pair<const char*, PictureDither> Dithers[] = {
    {"none", PictureDither::None},
    {"floyd", PictureDither::FloydSteinberg},
    {"atkinson", PictureDither::Atkinson},
    {"ordered", PictureDither::Ordered}};
// Turned, then mirrored as the display shows it: "hv" and "vh" are the same half turn.
constexpr std::pair<const char*, std::pair<bool, bool>> Flips[] = {
    {"h", {true, false}}, {"v", {false, true}}, {"hv", {true, true}}, {"vh", {true, true}}};

// The picture conversion the options ask for, into `conversion` when any is given (the type is
// set later); why a value is refused, or the empty text.
QString readConversion(const QCommandLineParser& parser,
                       std::optional<ConversionSettings>& conversion)
{
    const auto given = [&](const char* name) { return parser.isSet(QLatin1String(name)); };
    const auto value = [&](const char* name) { return parser.value(QLatin1String(name)); };
    static const char* const names[] = {"fit",      "crop",       "background", "rotate", "flip",
                                        "contrast", "brightness", "threshold",  "dither", "invert"};
    if (std::none_of(std::begin(names), std::end(names), given))
        return QString();
    ConversionSettings settings;
    if (given("fit")) {
        const auto fit = namedValue(value("fit"), Fits);
        if (!fit)
            return QStringLiteral("--fit must be contain, cover or stretch");
        settings.fit = *fit;
    }
    if (given("crop")) {
        const QStringList xy = value("crop").split(QLatin1Char(','));
        const auto x = numberIn(xy.constFirst(), 0, 100);
        const auto y = numberIn(xy.constLast(), 0, 100);
        if (xy.size() != 2 || !x || !y)
            return QStringLiteral("--crop takes X,Y: percent across and down, each 0 to 100");
        settings.crop = QPoint(*x, *y);
    }
    if (given("background")) {
        settings.background = QColor::fromString(value("background"));
        if (!settings.background.isValid())
            return QStringLiteral("--background must be a colour name (black, white ...) or "
                                  "#RRGGBB, not '%1'")
                .arg(value("background"));
    }
    if (given("rotate")) {
        const auto rotation = numberIn(value("rotate"), 0, 270);
        if (!rotation || *rotation % 90 != 0)
            return QStringLiteral("--rotate must be 0, 90, 180 or 270");
        settings.rotation = *rotation;
    }
    if (given("flip")) {
        const auto flip = namedValue(value("flip"), Flips);
        if (!flip)
            return QStringLiteral("--flip must be h, v or hv");
        std::tie(settings.flipHorizontal, settings.flipVertical) = *flip;
    }
    const struct
    {
        const char* name;
        int* setting;
        int lowest;
        int highest;
    } numbers[] = {{"brightness", &settings.brightness, -100, 100},
                   {"contrast", &settings.contrast, -100, 100},
                   {"threshold", &settings.threshold, 0, 255}};
    for (const auto& [name, setting, lowest, highest] : numbers) {
        if (!given(name))
            continue;
        const std::optional<int> number = numberIn(value(name), lowest, highest);
        if (!number)
            return QStringLiteral("--%1 must be a whole number from %2 to %3")
                .arg(QLatin1String(name))
                .arg(lowest)
                .arg(highest);
        *setting = *number;
    }
    if (given("dither")) {
        const auto dither = namedValue(value("dither"), Dithers);
        if (!dither)
            return QStringLiteral("--dither must be none, floyd, atkinson or ordered");
        settings.dither = *dither;
    }
    settings.invert = given("invert");
    conversion = settings;
    return QString();
}

} // namespace

qint16 TypeCodeFromText(const QString& text)
{
    const QString wanted = text.simplified().remove(QLatin1Char(' ')).toUpper();
    for (qint16 code = 1; code <= 6; ++code) {
        if (wanted == QString::number(code) ||
            wanted == ControllerSettingText(code).remove(QLatin1Char(' ')).toUpper())
            return code;
    }
    return 0;
}

ParsedCommandLine ParseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("ports, query, send, download, convert, clear, "
                                                "upload, text, attributes or batch."),
                                 QStringLiteral("command [arguments...]"));
    parser.addOptions({
        valued("port",
               "A port number from 'ports', a device name such as /dev/ttyUSB0 or COM3, or sim "
               "for the built-in virtual controller, a fresh one for each command (vantrel-sim "
               "keeps one running) (1). batch takes several.",
               "port"),
        flag("simulator", "The same as --port sim."),
        valued("speed", "9600, 19200, 57600 or 115200 bit/s (57600).", "bps"),
        flag("identifier", "Send the switch type letter in the picture header (MONO 96x64 "
                           "pictures always carry it)."),
        valued("type",
               "Switch type, by number or name; clear, upload and hex-text files (.txt) need it.",
               "type"),
        valued("address", "Switch address in hex digits.", "address"),
        valued("as",
               "text: chars sends each pair of hex digits as the one byte it stands for, hex "
               "sends the text as written.",
               "chars|hex"),
        valued("output",
               "upload and convert: where the picture goes, as the name asks: the bitmap the "
               "program accepts (.bmp), an image of what the switch shows (.png and the other "
               "image names) or a switch data file (.sd); for any other name upload writes the "
               "uploaded text and convert a switch data file. convert FOLDER: the folder the "
               "bitmaps go to.",
               "file"),
        valued("led-off",
               "LCD 36x24 bitmap, download or convert: LED colour while off, one hex digit (0).",
               "digit"),
        valued("led-on",
               "LCD 36x24 bitmap, download or convert: LED colour while on, one hex digit (0).",
               "digit"),
        valued("switches",
               "attributes FILE, LCD types: the number of switches, which sets how many "
               "attribute bytes each line sends: 2 (6 bytes), 8 or 16 (2).",
               "count"),
        valued("start", "attributes FILE without address fields, batch: the first address, in hex.",
               "address"),
        valued("addresses",
               "batch: a file with one address (hex) per line, one per picture in "
               "the batch's order; blank lines and lines from # are left out.",
               "file"),
        flag("reverse", "batch: the address block turned round, as the window's Reverse."),
        flag("refresh", "batch: the controller's refresh after a run that downloaded a picture."),
        valued("report", "batch: the report to write, CSV or JSON (.json).", "file"),
        valued("resume",
               "batch: an earlier report, given once per report of a parallel run; the pictures "
               "they mark done are not sent.",
               "report"),
        flag("split", "batch, several --port: each port its consecutive share of the folder."),
        flag("each", "batch, several --port: every port the whole batch."),
        valued("fit",
               "convert: how a picture meets the display's shape: contain (whole, with bars of "
               "the background; the default), cover (filled, cropped) or stretch (whole, pulled "
               "to the display's shape).",
               "fit"),
        valued("crop",
               "convert, --fit cover: where the kept part lies, percent across and down "
               "(50,50).",
               "x,y"),
        valued("background",
               "convert: the bars of contain and what shows behind transparent pixels, a colour "
               "name or #RRGGBB (black).",
               "colour"),
        valued("rotate", "convert: turn the picture clockwise by 0, 90, 180 or 270 degrees (0).",
               "degrees"),
        valued("flip", "convert: mirror it after turning, h across, v up and down, hv both.",
               "h|v|hv"),
        valued("brightness", "convert: -100 to 100 (0).", "n"),
        valued("contrast", "convert: -100 to 100 (0).", "n"),
        valued("dither",
               "convert, one-bit displays (LCD, MONO): none, floyd, atkinson or ordered (none).",
               "method"),
        valued("threshold",
               "convert, one-bit displays without dither: the grey from which a pixel is light, "
               "0 to 255 (128).",
               "n"),
        flag("invert", "convert: light for dark, after everything else."),
        flag("traffic", "Print the traffic log (bytes sent and received, data included) on "
                        "standard error at the end."),
    });

    ParsedCommandLine parsed;
    if (!parser.parse(arguments)) {
        parsed.usageError = parser.errorText();
        return parsed;
    }
    if (parser.isSet(help)) {
        parsed.printAndExit = parser.helpText();
        return parsed;
    }
    if (parser.isSet(version)) {
        parsed.printAndExit = QStringLiteral("vantrel-cli %1\n").arg(VANTREL_VERSION);
        return parsed;
    }
    QStringList words = parser.positionalArguments();
    if (words.isEmpty()) {
        parsed.usageError = QStringLiteral("no command given");
        return parsed;
    }
    const QString name = words.takeFirst();
    const CommandRule* rule = findCommand(name);
    if (!rule) {
        parsed.usageError = QStringLiteral("unknown command '%1'").arg(name);
        return parsed;
    }

    CliRequest request;
    request.command = rule->command;
    request.arguments = words;
    request.ports = parser.values(QStringLiteral("port"));
    if (!request.ports.isEmpty())
        request.port = request.ports.constFirst();
    if (parser.isSet(QStringLiteral("simulator")))
        request.port = QStringLiteral("sim");
    if (request.ports.isEmpty())
        request.ports = QStringList{request.port};
    if (parser.isSet(QStringLiteral("speed")))
        request.speed = parser.value(QStringLiteral("speed")).toInt();
    request.withTypeLetter = parser.isSet(QStringLiteral("identifier"));
    request.typeCode = TypeCodeFromText(parser.value(QStringLiteral("type")));
    request.address = parser.value(QStringLiteral("address"));
    request.asCharacters = parser.value(QStringLiteral("as")) == QLatin1String("chars");
    request.output = parser.value(QStringLiteral("output"));
    if (parser.isSet(QStringLiteral("led-off")))
        request.ledOff = parser.value(QStringLiteral("led-off")).toUpper();
    if (parser.isSet(QStringLiteral("led-on")))
        request.ledOn = parser.value(QStringLiteral("led-on")).toUpper();
    request.traffic = parser.isSet(QStringLiteral("traffic"));
    if (parser.isSet(QStringLiteral("switches")))
        request.switches = parser.value(QStringLiteral("switches")).toInt();
    request.start = parser.value(QStringLiteral("start"));
    request.addressesFile = parser.value(QStringLiteral("addresses"));
    request.reverse = parser.isSet(QStringLiteral("reverse"));
    request.refresh = parser.isSet(QStringLiteral("refresh"));
    request.report = parser.value(QStringLiteral("report"));
    request.resume = parser.values(QStringLiteral("resume"));
    request.spread = parser.isSet(QStringLiteral("each")) ? BatchSpread::Each : BatchSpread::Split;

    parsed.usageError = readConversion(parser, request.conversion);
    if (parsed.usageError.isEmpty())
        parsed.usageError = checkRequest(*rule, words, parser, request);
    if (parsed.usageError.isEmpty())
        parsed.request = request;
    return parsed;
}
