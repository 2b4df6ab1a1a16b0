// vantrel-sim: the virtual Glintkey controller on a pseudo-terminal, for the program, the command
// line or any serial terminal to attach to. The first line it prints is the device path.

#include "ControllerTiming.h"
#include "ControllerViewModel.h"
#include "PictureRenderer.h"
#include "PtyServer.h"
#include "VirtualController.h"
#include "frmControllerView.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <map>
#include <memory>
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
    bool window = false;
};

constexpr const char* WindowOption = "window";

QCommandLineOption option(const char* name, const char* help, const char* value = nullptr)
{
    return value ? QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help),
                                      QString::fromLatin1(value))
                 : QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help));
}

struct OptionSet
{
    QCommandLineOption setting = option("setting", "Setting digit 0..7 (7).", "digit");
    QCommandLineOption name = option("name", "Controller name (GLINTSIM).", "text");
    QCommandLineOption letter = option("version-letter", "V, R, D, H or X (V).", "letter");
    QCommandLineOption firmware = option("firmware", "Firmware version (1.00).", "text");
    QCommandLineOption speed =
        option("speed", "Line speed in bit/s the controller reads at (as fast as sent).", "bps");
    QCommandLineOption misbehave =
        option("misbehave", "none, silent, refuse, no-ready, late or garbage (none).", "mode");
    QCommandLineOption fail =
        option("fail-pictures", "Answer the next N picture transfers with n.", "count");
    QCommandLineOption capacity =
        option("text-capacity", "Raw-text input size in characters (256).", "count");
    QCommandLineOption rate =
        option("text-rate", "Raw-text characters taken per second (2000).", "count");
    QCommandLineOption render =
        option("render-dir", "Write a PNG of every stored address here on every change.", "dir");
    QCommandLineOption scale = option("render-scale", "Image pixels per dot (4).", "n");
    QCommandLineOption link = option("link", "Also make this symbolic link to it.", "path");
    QCommandLineOption quiet = option("quiet", "Print only the device path.");
    QCommandLineOption window =
        option(WindowOption, "Show the stored addresses in a window, as the program's "
                             "controller view shows them.");

    QList<QCommandLineOption> all() const
    {
        return {setting,  name, letter, firmware, speed, misbehave, fail,
                capacity, rate, render, scale,    link,  quiet,     window};
    }
};

// Reads the options; an error text when one is out of range.
std::optional<QString> readOptions(const QCoreApplication& app, Options& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The virtual Glintkey controller on a pseudo-terminal. Prints the device path first.\n"
        "SIGUSR1 writes every stored address as a PNG (into --render-dir, or the current "
        "folder); SIGUSR2 makes the device vanish."));
    parser.addHelpOption();
    parser.addVersionOption();
    const OptionSet o;
    parser.addOptions(o.all());
    parser.process(app);

    const auto character = [&](const QCommandLineOption& option, char fallback) {
        const QString text = parser.value(option);
        return text.size() == 1 ? text.at(0).toLatin1() : text.isEmpty() ? fallback : '\0';
    };
    const auto count = [&](const QCommandLineOption& option, int fallback) {
        bool ok = true;
        const int value = parser.isSet(option) ? parser.value(option).toInt(&ok) : fallback;
        return ok && value >= 0 ? value : -1;
    };
    ControllerIdentity& identity = options.identity;
    identity.settingDigit = character(o.setting, identity.settingDigit);
    identity.versionLetter = character(o.letter, identity.versionLetter);
    identity.name = parser.isSet(o.name) ? parser.value(o.name).toLatin1() : identity.name;
    identity.version =
        parser.isSet(o.firmware) ? parser.value(o.firmware).toLatin1() : identity.version;
    options.failPictures = count(o.fail, 0);
    options.speed = count(o.speed, 0);
    options.textCapacity = count(o.capacity, ControllerTiming::TextCapacity);
    options.textRate = count(o.rate, ControllerTiming::TextCharsPerSecond);
    options.renderScale = count(o.scale, options.renderScale);
    options.renderDir = parser.value(o.render);
    options.linkPath = parser.value(o.link);
    options.quiet = parser.isSet(o.quiet);
    options.window = parser.isSet(o.window);
    const QString mode = parser.isSet(o.misbehave) ? parser.value(o.misbehave) : "none";
    if (!identity.settingDigit || !identity.versionLetter)
        return QStringLiteral("--setting and --version-letter take one character");
    if (!Misbehaviours.contains(mode))
        return QStringLiteral("unknown --misbehave mode: ") + mode;
    options.misbehaviour = Misbehaviours.at(mode);
    if (options.failPictures < 0 || options.speed < 0 || options.textCapacity < 1 ||
        options.textRate < 1 || options.renderScale < 1)
        return QStringLiteral("counts and speeds are whole numbers; sizes, rates and the scale "
                              "are 1 or more");
    return std::nullopt;
}

// The running program: the controller on its pseudo-terminal, and the pictures it writes.
class Session
{
public:
    explicit Session(const Options& options)
        : m_options(options)
        , m_liveFolder(options.renderDir, options.renderScale)
        , m_requestFolder(options.renderDir.isEmpty() ? QDir::currentPath() : options.renderDir,
                          options.renderScale)
    {
        m_controller.setIdentity(options.identity);
        m_controller.setMisbehaviour(options.misbehaviour);
        m_controller.failNextPictures(options.failPictures);
        m_controller.setTextInput(options.textCapacity, options.textRate);
        m_server.setLineSpeed(options.speed);
    }

    ~Session()
    {
        if (!m_options.linkPath.isEmpty())
            QFile::remove(m_options.linkPath);
    }

    bool start()
    {
        if (!m_server.start()) {
            complain(m_server.errorString());
            return false;
        }
        if (!m_options.linkPath.isEmpty()) {
            QFile::remove(m_options.linkPath);
            if (!QFile::link(m_server.devicePath(), m_options.linkPath))
                complain(QStringLiteral("cannot make the link ") + m_options.linkPath);
        }
        m_out << m_server.devicePath() << Qt::endl;
        if (!m_options.quiet) {
            QObject::connect(&m_controller, &VirtualController::activity, &m_controller,
                             [this](const QString& line) { m_out << line << Qt::endl; });
        }
        if (!m_options.renderDir.isEmpty()) {
            QObject::connect(&m_controller, &VirtualController::memoryChanged, &m_controller,
                             [this] { writePictures(m_liveFolder); });
        }
        if (m_options.window)
            showWindow();
        return true;
    }

    void handleSignal(int number)
    {
        if (number == SIGUSR1) {
            if (writePictures(m_requestFolder))
                complain(QStringLiteral("pictures written to ") + m_requestFolder.path());
            return;
        }
        if (number == SIGUSR2) {
            m_server.vanish();
            complain(QStringLiteral("the device vanished"));
        }
        QCoreApplication::quit();
    }

private:
    bool writePictures(PictureFolder& folder)
    {
        const bool written = folder.write(m_controller);
        if (!written)
            complain(folder.errorString());
        return written;
    }

    void complain(const QString& text) { m_err << "vantrel-sim: " << text << Qt::endl; }

    // The controller's memory as the program's controller view shows it; closing it ends the
    // program like any other window.
    void showWindow()
    {
        m_view = std::make_unique<ControllerViewModel>();
        m_view->followMemory(&m_controller);
        m_window.reset(MakeAddressGrid(*m_view, nullptr));
        m_window->setWindowTitle(QStringLiteral("vantrel-sim: ") + m_server.devicePath());
        m_window->show();
    }

    const Options& m_options;
    QTextStream m_out{stdout};
    QTextStream m_err{stderr};
    VirtualController m_controller;
    PtyServer m_server{m_controller};
    PictureFolder m_liveFolder;
    PictureFolder m_requestFolder;
    std::unique_ptr<ControllerViewModel> m_view;
    std::unique_ptr<QListView> m_window;
};

// A window needs the widget application; without one the program runs where no display is.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char* argv[])
{
    const QByteArray window = QByteArray("--") + WindowOption;
    for (int i = 1; i < argc; ++i) {
        if (window == argv[i])
            return std::make_unique<QApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int main(int argc, char* argv[])
{
    const std::unique_ptr<QCoreApplication> app = MakeApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    Options options;
    if (const auto error = readOptions(*app, options)) {
        QTextStream(stderr) << "vantrel-sim: " << *error << Qt::endl;
        return 3;
    }
    if (!catchSignals({SIGINT, SIGTERM, SIGUSR1, SIGUSR2})) {
        QTextStream(stderr) << "vantrel-sim: cannot catch signals" << Qt::endl;
        return 1;
    }
    Session session(options);
    if (!session.start())
        return 1;
    QSocketNotifier signalNotifier(g_signalPipe[1], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, app.get(), [&session] {
        char number = 0;
        if (::read(g_signalPipe[1], &number, 1) == 1)
            session.handleSignal(number);
    });
    return QCoreApplication::exec();
}
