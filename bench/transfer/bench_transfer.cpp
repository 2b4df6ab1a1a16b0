// How long a picture transfer takes against what the line allows, and what progress and echo add.
//   (a) the virtual controller's line-modelled port at 115200 bit/s: wall time of TransferData
//       over the line time of the characters it sent;
//   (b) a pseudo-terminal through QSerialPort: time per piece of TransferData over the time per
//       piece of a bare loop (two characters written, then a nested event loop until the port's
//       output count is 0) on the same port in the same run.
#include "ControllerLink.h"
#include "InProcessPort.h"
#include "PortCatalog.h"
#include "PtyServer.h"
#include "TerminalViews.h"
#include "VirtualController.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

constexpr qint32 LineSpeed = 115200;
constexpr int BitsPerCharacter = 10; // start bit, eight data bits, stop bit
constexpr int ColourPictureBytes = 12288;
const QString Address = QStringLiteral("0001");
// The link's own bound on a stalled line, so a wait here never hangs either.
constexpr int StallLimitMs = 5000;
// Long enough for the controller's quiet-line judgement (at most 50 ms) and its answer.
constexpr int SettleMs = 120;
constexpr int Repeats = 5;
// A 16550-style UART takes this many bytes ahead of the line.
constexpr int UartFifo = 16;

// A COLOR 96x64 picture as the encoder hands it over: 24576 hex digits.
QString colourPictureDigits()
{
    QRandomGenerator generator(96 * 64);
    QByteArray bytes(ColourPictureBytes, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = char(generator.bounded(256));
    return QString::fromLatin1(bytes.toHex().toUpper());
}

// The window side, reduced to what is measured: when the piece loop starts and ends (progress
// values 1 and maximum), and optionally a terminal progress line and a kept traffic log.
class BenchShell final : public LinkShell, public LinkScreen
{
public:
    explicit BenchShell(ProgressMeter* meter = nullptr, int displayData = 0)
        : m_meter(meter)
        , m_displayData(displayData)
    {
        m_clock.start();
    }

    MessageAnswer message(const QString&, const QString&, MessageIcon, MessageButtons) override
    {
        return MessageAnswer::Ok;
    }
    void setPanelText(int, const QString&) override {}
    void setProgressVisible(bool visible) override
    {
        if (m_meter)
            m_meter->setVisible(visible);
    }
    void setProgressMaximum(int maximum) override
    {
        m_maximum = maximum;
        if (m_meter)
            m_meter->setMaximum(maximum);
    }
    void setProgressValue(int value) override
    {
        if (value == 1)
            m_loopStartNs = m_clock.nsecsElapsed();
        else if (value == m_maximum)
            m_loopEndNs = m_clock.nsecsElapsed();
        if (m_meter)
            m_meter->setValue(value);
    }
    void setBusyCursor(bool) override {}
    void beep() override {}
    void endProgram() override {}

    void setPortStatus(const QString&) override {}
    void appendTraffic(const QString& text, TrafficDirection) override { m_log += text; }
    int displayData() const override { return m_displayData; }
    void setDisplayData(int value) override { m_displayData = value; }
    void setCurrentAddressLabel(const QString&) override {}
    void setPortChoice(int) override {}

    double loopSeconds() const { return double(m_loopEndNs - m_loopStartNs) / 1e9; }

private:
    ProgressMeter* m_meter;
    int m_displayData;
    int m_maximum = 0;
    QElapsedTimer m_clock;
    qint64 m_loopStartNs = 0;
    qint64 m_loopEndNs = 0;
    QString m_log;
};

// One link on catalog port 1, opened at the bench speed.
struct LinkRig
{
    AppState state;
    std::unique_ptr<ControllerLink> link;

    LinkRig(PortCatalog& catalog, BenchShell& shell)
    {
        state.TypeCode = SwitchTypeCode::Color96x64;
        state.RequestedPort = 1;
        state.RequestedSpeed = LineSpeed;
        link = std::make_unique<ControllerLink>(state, catalog, shell);
        link->setActiveScreen(&shell);
        link->setPortNumber(1);
    }
};

double secondsOf(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e9;
}

// The bare loop's wait, built as the link builds its waits: a nested event loop ended by the
// port's progress or by a precise single-shot deadline, measured from the start of the wait.
void waitForEmptyOutput(SerialPort& port)
{
    while (port.bytesToWrite() > 0) {
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.setTimerType(Qt::PreciseTimer);
        QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(&port, &SerialPort::bytesWritten, &loop, &QEventLoop::quit);
        deadline.start(StallLimitMs);
        loop.exec();
        if (clock.elapsed() >= StallLimitMs)
            return;
    }
}

// Two characters per write, each drained before the next: the piece loop without the link.
double bareLoopSeconds(SerialPort& port, const QString& digits)
{
    const QByteArray bytes = digits.toLatin1();
    return secondsOf([&] {
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
            port.write(bytes.mid(i, 2));
            waitForEmptyOutput(port);
        }
    });
}

// Lets the controller judge what it received and its answer arrive before the next run.
void settle(QCoreApplication& app)
{
    QEventLoop loop;
    QTimer::singleShot(SettleMs, &loop, &QEventLoop::quit);
    loop.exec();
    app.processEvents();
}

// (a) -------------------------------------------------------------------------------------------

struct LineRun
{
    double wall = 0;
    double line = 0;
    qsizetype sent = 0;
    QString reply;
};

// TransferData on a fresh virtual controller behind a line-modelled in-process port.
LineRun lineModelledTransfer(const QString& digits, int transmitFifo)
{
    VirtualController controller;
    PortCatalog catalog;
    catalog.addPort(QStringLiteral("sim"), QString(), [&controller, transmitFifo] {
        auto port = std::make_unique<InProcessPort>(controller);
        port->setLineModel(true);
        port->setTransmitFifo(transmitFifo);
        return port;
    });
    BenchShell shell;
    LinkRig rig(catalog, shell);
    if (!rig.link->OpenPort())
        return {};
    LineRun run;
    run.wall = secondsOf([&] { rig.link->TransferData(false, Address, digits); });
    run.sent = controller.receivedBytes().size();
    run.line = double(run.sent) * BitsPerCharacter / LineSpeed;
    run.reply = rig.state.ReplyCode;
    return run;
}

// The floor a port without a transmit FIFO allows: the same pieces without the link.
double bareLoopLineRatio(const QString& digits)
{
    VirtualController controller;
    InProcessPort port(controller);
    port.setLineModel(true);
    port.setBaudRate(LineSpeed);
    port.open();
    const double bare = bareLoopSeconds(port, digits);
    return bare / (double(digits.size()) * BitsPerCharacter / LineSpeed);
}

bool lineModelled(const QString& digits)
{
    std::printf("(a) in-process port, line model at %d bit/s\n", LineSpeed);
    bool ok = true;
    for (const int fifo : {UartFifo, 0}) {
        const LineRun run = lineModelledTransfer(digits, fifo);
        std::printf("    %s: %lld characters sent, line time %.3f s, TransferData %.3f s, reply "
                    "%s\n",
                    fifo ? "16-byte transmit FIFO, as a UART has" : "no transmit FIFO",
                    qlonglong(run.sent), run.line, run.wall, qPrintable(run.reply));
        std::printf("    (a) ratio wall time / line time, %s: %.3f  (target at most 1.10)\n",
                    fifo ? "16-byte FIFO" : "no FIFO", run.wall / run.line);
        ok = ok && run.reply == QLatin1String("79");
    }
    std::printf("    without a FIFO every piece waits for the program to react; the bare loop on "
                "such a port: ratio %.3f\n",
                bareLoopLineRatio(digits));
    return ok;
}

// (b) -------------------------------------------------------------------------------------------

// TransferData on catalog port 1 with the given window side: microseconds per piece.
double transferPerPiece(PortCatalog& catalog, BenchShell& shell, const QString& digits,
                        QString& reply)
{
    LinkRig rig(catalog, shell);
    rig.link->OpenPort();
    rig.link->TransferData(true, Address, digits);
    reply = rig.state.ReplyCode;
    return shell.loopSeconds() * 1e6 / double(digits.size() / 2);
}

double barePerPiece(SerialPort& port, const QString& digits)
{
    port.write(QByteArrayLiteral("(V") + Address.toLatin1());
    waitForEmptyOutput(port);
    return bareLoopSeconds(port, digits) * 1e6 / double(digits.size() / 2);
}

// The best of each kind of run; the kinds take turns, so a busy spell of the machine does not
// fall on one kind alone.
struct PieceTimes
{
    double bare = 1e12;
    double quiet = 1e12;
    double drawn = 1e12;
    double echoed = 1e12;
    QString reply;
};

bool pseudoTerminal(QCoreApplication& app, const QString& digits)
{
    VirtualController controller;
    PtyServer server(controller);
    if (!server.start()) {
        std::printf("(b) skipped: %s\n", qPrintable(server.errorString()));
        return true;
    }
    PortCatalog catalog;
    catalog.addDevice(server.devicePath());
    {
        BenchShell opener;
        LinkRig rig(catalog, opener);
        if (!rig.link->OpenPort())
            return false;
    }
    SerialPort& port = *catalog.port(1);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> devNull(std::fopen("/dev/null", "w"),
                                                            &std::fclose);
    ProgressMeter meter(devNull.get());
    PieceTimes best;
    QString reply;
    for (int run = 0; run < Repeats; ++run) {
        best.bare = std::min(best.bare, barePerPiece(port, digits));
        settle(app);
        BenchShell quiet;
        best.quiet = std::min(best.quiet, transferPerPiece(catalog, quiet, digits, best.reply));
        settle(app);
        BenchShell drawn(&meter);
        best.drawn = std::min(best.drawn, transferPerPiece(catalog, drawn, digits, reply));
        settle(app);
        BenchShell echoed(nullptr, 1);
        best.echoed = std::min(best.echoed, transferPerPiece(catalog, echoed, digits, reply));
        settle(app);
    }

    std::printf("(b) pseudo-terminal %s through QSerialPort, best of %d runs each\n",
                qPrintable(server.devicePath()), Repeats);
    std::printf("    bare loop: %.1f us per piece\n", best.bare);
    std::printf("    TransferData: %.1f us per piece, reply %s\n", best.quiet,
                qPrintable(best.reply));
    std::printf("    (b) ratio TransferData / bare loop per piece: %.3f  (target at most 2.0)\n",
                best.quiet / best.bare);
    std::printf("    progress drawn on a terminal line (to /dev/null, %d redraws a run): %.1f us "
                "per piece, %+.1f us against none\n",
                meter.redraws() / Repeats, best.drawn, best.drawn - best.quiet);
    std::printf("    echo with \"display data\" ticked (pieces kept in the log): %.1f us per "
                "piece, %+.1f us against unticked\n",
                best.echoed, best.echoed - best.quiet);
    return best.reply == QLatin1String("79");
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QString digits = colourPictureDigits();
    std::printf("COLOR 96x64 picture: %lld hex digits, %lld pieces\n", qlonglong(digits.size()),
                qlonglong(digits.size() / 2));
    const bool lineOk = lineModelled(digits);
    const bool ptyOk = pseudoTerminal(app, digits);
    return lineOk && ptyOk ? 0 : 1;
}
