// vantrel-sim: the virtual Glintkey controller on a pseudo-terminal, for the program, the command
// line or any serial terminal to attach to. The first line it prints is the device path.

#include "ControllerTiming.h"
#include "PictureRenderer.h"
#include "PtyServer.h"
#include "VirtualController.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <map>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Signals are turned into bytes on a socket pair, read on the event loop; a handler itself may
// do nothing more than write().
int g_signalPipe[2] = {-1, -1};

void onSignal(int number)
{
    const char byte = char(number);
    [[maybe_unused]] const ssize_t ignored = ::write(g_signalPipe[0], &byte, 1);
}

bool catchSignals(std::initializer_list<int> numbers)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return false;
    for (const int number : numbers) {
        struct sigaction action = {};
        action.sa_handler = onSignal;
        action.sa_flags = SA_RESTART;
        sigemptyset(&action.sa_mask);
        sigaction(number, &action, nullptr);
    }
    return true;
}

const std::map<QString, Misbehaviour> Misbehaviours = {
    {QStringLiteral("none"), Misbehaviour::None},
    {QStringLiteral("silent"), Misbehaviour::Silent},
    {QStringLiteral("refuse"), Misbehaviour::RefuseAll},
    {QStringLiteral("no-ready"), Misbehaviour::NoReady},
    {QStringLiteral("late"), Misbehaviour::Late},
    {QStringLiteral("garbage"), Misbehaviour::Garbage},
};

struct Options
{
    ControllerIdentity identity;
    Misbehaviour misbehaviour = Misbehaviour::None;
    int failPictures = 0;
    int speed = 0;
    int textCapacity = 0;
    int textRate = 0;
    QString renderDir;
    int renderScale = 4;
    QString linkPath;
    bool quiet = false;
};

QCommandLineOption option(const char* name, const char* help, const char* value = nullptr)
{
    return value ? QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help),
                                      QString::fromLatin1(value))
                 : QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help));
}

// Reads the options; an error text when one is out of range.
std::optional<QString> readOptions(const QCoreApplication& app, Options& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The virtual Glintkey controller on a pseudo-terminal. Prints the device path first.\n"
        "SIGUSR1 writes every stored address as a PNG (into --render-dir, or the current "
        "folder); SIGUSR2 makes the device vanish."));
    parser.addHelpOption();
    const QCommandLineOption setting = option("setting", "Setting digit 0..7 (7).", "digit");
    const QCommandLineOption name = option("name", "Controller name (GLINTSIM).", "text");
    const QCommandLineOption letter = option("version-letter", "V, R, D, H or X (V).", "letter");
    const QCommandLineOption firmware = option("firmware", "Firmware version (1.00).", "text");
    const QCommandLineOption speed =
        option("speed", "Line speed in bit/s the controller reads at (as fast as sent).", "bps");
    const QCommandLineOption misbehave =
        option("misbehave", "none, silent, refuse, no-ready, late or garbage (none).", "mode");
    const QCommandLineOption fail =
        option("fail-pictures", "Answer the next N picture transfers with n.", "count");
    const QCommandLineOption capacity =
        option("text-capacity", "Raw-text input size in characters (256).", "count");
    const QCommandLineOption rate =
        option("text-rate", "Raw-text characters taken per second (2000).", "count");
    const QCommandLineOption render =
        option("render-dir", "Write a PNG of every stored address here on every change.", "dir");
    const QCommandLineOption scale = option("render-scale", "Image pixels per dot (4).", "n");
    const QCommandLineOption link = option("link", "Also make this symbolic link to it.", "path");
    const QCommandLineOption quiet = option("quiet", "Print only the device path.");
    parser.addOptions({setting, name, letter, firmware, speed, misbehave, fail, capacity, rate,
                       render, scale, link, quiet});
    parser.process(app);

    const auto one = [&](const QCommandLineOption& o, char fallback) {
        const QString text = parser.value(o);
        return text.size() == 1 ? text.at(0).toLatin1() : text.isEmpty() ? fallback : '\0';
    };
    const auto number = [&](const QCommandLineOption& o, int fallback) {
        bool ok = true;
        const int value = parser.isSet(o) ? parser.value(o).toInt(&ok) : fallback;
        return ok && value >= 0 ? value : -1;
    };
    options.identity.settingDigit = one(setting, options.identity.settingDigit);
    options.identity.versionLetter = one(letter, options.identity.versionLetter);
    if (parser.isSet(name))
        options.identity.name = parser.value(name).toLatin1();
    if (parser.isSet(firmware))
        options.identity.version = parser.value(firmware).toLatin1();
    const auto mode = Misbehaviours.find(
        parser.value(misbehave).isEmpty() ? QStringLiteral("none") : parser.value(misbehave));
    options.failPictures = number(fail, 0);
    options.speed = number(speed, 0);
    options.textCapacity = number(capacity, 0);
    options.textRate = number(rate, 0);
    options.renderScale = number(scale, options.renderScale);
    options.renderDir = parser.value(render);
    options.linkPath = parser.value(link);
    options.quiet = parser.isSet(quiet);
    if (!options.identity.settingDigit || !options.identity.versionLetter)
        return QStringLiteral("--setting and --version-letter take one character");
    if (mode == Misbehaviours.end())
        return QStringLiteral("unknown --misbehave mode: ") + parser.value(misbehave);
    options.misbehaviour = mode->second;
    if (options.failPictures < 0 || options.speed < 0 || options.textCapacity < 0 ||
        options.textRate < 0 || options.renderScale < 1)
        return QStringLiteral("counts, speeds and the scale are whole numbers (scale 1 or more)");
    return std::nullopt;
}

void configure(VirtualController& controller, const Options& options)
{
    controller.setIdentity(options.identity);
    controller.setMisbehaviour(options.misbehaviour);
    controller.failNextPictures(options.failPictures);
    if (options.textCapacity > 0 || options.textRate > 0) {
        controller.setTextInput(
            options.textCapacity > 0 ? options.textCapacity : ControllerTiming::TextCapacity,
            options.textRate > 0 ? options.textRate : ControllerTiming::TextCharsPerSecond);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-sim"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    Options options;
    if (const auto error = readOptions(app, options)) {
        err << "vantrel-sim: " << *error << Qt::endl;
        return 3;
    }
    VirtualController controller;
    configure(controller, options);
    PtyServer server(controller);
    server.setLineSpeed(options.speed);
    if (!server.start()) {
        err << "vantrel-sim: " << server.errorString() << Qt::endl;
        return 1;
    }
    if (!options.linkPath.isEmpty()) {
        QFile::remove(options.linkPath);
        if (!QFile::link(server.devicePath(), options.linkPath))
            err << "vantrel-sim: cannot make the link " << options.linkPath << Qt::endl;
    }
    out << server.devicePath() << Qt::endl;

    if (!options.quiet) {
        QObject::connect(&controller, &VirtualController::activity, &app,
                         [&out](const QString& line) { out << line << Qt::endl; });
    }
    PictureFolder liveFolder(options.renderDir, options.renderScale);
    if (!options.renderDir.isEmpty()) {
        QObject::connect(&controller, &VirtualController::memoryChanged, &app, [&] {
            if (!liveFolder.write(controller))
                err << "vantrel-sim: " << liveFolder.errorString() << Qt::endl;
        });
    }

    if (!catchSignals({SIGINT, SIGTERM, SIGUSR1, SIGUSR2})) {
        err << "vantrel-sim: cannot catch signals" << Qt::endl;
        return 1;
    }
    QSocketNotifier signalNotifier(g_signalPipe[1], QSocketNotifier::Read);
    PictureFolder requestFolder(
        options.renderDir.isEmpty() ? QDir::currentPath() : options.renderDir, options.renderScale);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [&] {
        char number = 0;
        if (::read(g_signalPipe[1], &number, 1) != 1)
            return;
        if (number == SIGUSR1) {
            const bool written = requestFolder.write(controller);
            err << (written ? QStringLiteral("pictures written to ") + requestFolder.path()
                            : requestFolder.errorString())
                << Qt::endl;
        } else if (number == SIGUSR2) {
            server.vanish();
            err << "vantrel-sim: the device vanished" << Qt::endl;
            app.quit();
        } else {
            app.quit();
        }
    });
    const int status = app.exec();
    if (!options.linkPath.isEmpty())
        QFile::remove(options.linkPath);
    return status;
}
