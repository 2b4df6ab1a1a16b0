// How long a picture transfer takes against what the line allows, and what progress and echo add.
//   (a) the virtual controller's line-modelled port at 115200 bit/s, with a UART's 16-byte FIFO,
//       without one, and with the queue hidden as a USB adapter hides it: wall time of
//       TransferData over the line time of the characters it sent, and how long after the last
//       character left the line the reply window opened;
//   (b) a pseudo-terminal through QSerialPort whose far end reads at the line's own pace (the
//       program sees no queue at all): the same ratio, and the processor time per piece of
//       TransferData quiet, with a terminal progress line, and with the echo ticked.
#include "ControllerLink.h"
#include "InProcessPort.h"
#include "PortCatalog.h"
#include "PtyServer.h"
#include "TerminalViews.h"
#include "VirtualController.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

namespace {

constexpr qint32 LineSpeed = 115200;
constexpr int BitsPerCharacter = 10; // start bit, eight data bits, stop bit
constexpr int ColourPictureBytes = 12288;
const QString Address = QStringLiteral("0001");
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
    double windowLagMs = 0; // from the last character leaving to the reply window opening
    QString reply;
};

// TransferData on a fresh virtual controller behind a line-modelled in-process port.
LineRun lineModelledTransfer(const QString& digits, int transmitFifo)
{
    VirtualController controller;
    PortCatalog catalog;
    InProcessPort* port = nullptr;
    catalog.addPort(QStringLiteral("sim"), QString(), [&controller, &port, transmitFifo] {
        auto made = std::make_unique<InProcessPort>(controller);
        made->setLineModel(true);
        made->setTransmitFifo(transmitFifo);
        port = made.get();
        return made;
    });
    BenchShell shell;
    LinkRig rig(catalog, shell);
    if (!rig.link->OpenPort())
        return {};
    LineRun run;
    QObject::connect(rig.link.get(), &ControllerLink::replyWindowOpened, [&] {
        run.windowLagMs = double(QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs() -
                                 port->lineIdleAtNs()) /
                          1e6;
    });
    run.wall = secondsOf([&] { rig.link->TransferData(false, Address, digits); });
    run.sent = controller.receivedBytes().size();
    run.line = double(run.sent) * BitsPerCharacter / LineSpeed;
    run.reply = rig.state.ReplyCode;
    return run;
}

bool lineModelled(const QString& digits)
{
    std::printf("(a) in-process port, line model at %d bit/s\n", LineSpeed);
    struct Kind
    {
        int fifo;
        const char* name;
    };
    bool ok = true;
    for (const Kind& kind :
         {Kind{UartFifo, "16-byte transmit FIFO, as a UART has"}, Kind{0, "no transmit FIFO"},
          Kind{InProcessPort::HiddenQueue, "queue hidden, as a USB adapter"}}) {
        const LineRun run = lineModelledTransfer(digits, kind.fifo);
        std::printf("    %s: %lld characters sent, line time %.3f s, TransferData %.3f s, reply "
                    "%s\n",
                    kind.name, qlonglong(run.sent), run.line, run.wall, qPrintable(run.reply));
        std::printf("    (a) ratio wall time / line time: %.3f  (target at most 1.10)\n",
                    run.wall / run.line);
        std::printf("    (a) last character left -> reply window opened: %.2f ms  (target 0 to 5)"
                    "\n",
                    run.windowLagMs);
        ok = ok && run.reply == QLatin1String("79");
    }
    return ok;
}

// (b) -------------------------------------------------------------------------------------------

struct PieceRun
{
    double wall = 0;
    double cpuMicros = 0; // processor time per piece
    QString reply;
};

double processorSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// TransferData on catalog port 1 with the given window side.
PieceRun transferOnPty(PortCatalog& catalog, BenchShell& shell, const QString& digits)
{
    LinkRig rig(catalog, shell);
    rig.link->OpenPort();
    PieceRun run;
    const double cpuBefore = processorSeconds();
    run.wall = secondsOf([&] { rig.link->TransferData(true, Address, digits); });
    run.cpuMicros = (processorSeconds() - cpuBefore) * 1e6 / double(digits.size() / 2);
    run.reply = rig.state.ReplyCode;
    return run;
}

// The best of each kind of run; the kinds take turns, so a busy spell of the machine does not
// fall on one kind alone.
bool pseudoTerminal(QCoreApplication& app, const QString& digits)
{
    VirtualController controller;
    PtyServer server(controller);
    if (!server.start()) {
        std::printf("(b) skipped: %s\n", qPrintable(server.errorString()));
        return true;
    }
    server.setLineSpeed(LineSpeed);
    PortCatalog catalog;
    catalog.addDevice(server.devicePath());
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> devNull(std::fopen("/dev/null", "w"),
                                                            &std::fclose);
    ProgressMeter meter(devNull.get());
    PieceRun quiet{1e12, 1e12, {}}, drawn = quiet, echoed = quiet;
    const auto keepBest = [](PieceRun& best, const PieceRun& run) {
        best.wall = std::min(best.wall, run.wall);
        best.cpuMicros = std::min(best.cpuMicros, run.cpuMicros);
        if (best.reply.isEmpty() || run.reply != QLatin1String("79"))
            best.reply = run.reply;
    };
    for (int run = 0; run < Repeats; ++run) {
        BenchShell quietShell;
        keepBest(quiet, transferOnPty(catalog, quietShell, digits));
        settle(app);
        BenchShell drawnShell(&meter);
        keepBest(drawn, transferOnPty(catalog, drawnShell, digits));
        settle(app);
        BenchShell echoedShell(nullptr, 1);
        keepBest(echoed, transferOnPty(catalog, echoedShell, digits));
        settle(app);
    }
    const double line = double(digits.size() + 6) * BitsPerCharacter / LineSpeed;
    std::printf("(b) pseudo-terminal %s through QSerialPort, far end reading at %d bit/s, best of "
                "%d runs each\n",
                qPrintable(server.devicePath()), LineSpeed, Repeats);
    std::printf("    TransferData %.3f s against a line time of %.3f s, reply %s\n", quiet.wall,
                line, qPrintable(quiet.reply));
    std::printf("    (b) ratio wall time / line time: %.3f  (target at most 1.10)\n",
                quiet.wall / line);
    std::printf("    processor time per piece: quiet %.1f us, progress drawn on a terminal line "
                "%.1f us, echo ticked %.1f us\n",
                quiet.cpuMicros, drawn.cpuMicros, echoed.cpuMicros);
    return quiet.reply == QLatin1String("79") && drawn.reply == QLatin1String("79") &&
           echoed.reply == QLatin1String("79");
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
