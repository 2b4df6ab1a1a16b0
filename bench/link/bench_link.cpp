// Command round trip and reply window over a pseudo-terminal through QSerialPort, against the
// virtual controller. Prints medians and their ratio to a bare QSerialPort exchange measured in
// the same run.

#include "ControllerLink.h"
#include "LinkViews.h"
#include "PortCatalog.h"
#include "PtyServer.h"
#include "QuietLinkSide.h"
#include "VirtualController.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rounds = 200;

// The window side reduced to nothing, except that a message box is reported on the terminal.
class SilentShell final : public QuietLinkSide
{
public:
    MessageAnswer message(const QString& text, const QString& title, MessageIcon,
                          MessageButtons) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        return MessageAnswer::Ok;
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Write the call command on a bare QSerialPort and wait for the answer's last byte.
std::vector<double> bareRoundTrips(const QString& device)
{
    QSerialPort port(device);
    port.setBaudRate(57600);
    if (!port.open(QIODevice::ReadWrite))
        qFatal("cannot open %s", qPrintable(device));
    std::vector<double> times;
    for (int i = 0; i < Rounds; ++i) {
        QByteArray answer;
        QEventLoop loop;
        QObject::connect(&port, &QSerialPort::readyRead, &loop, [&] {
            answer += port.readAll();
            if (answer.contains('y'))
                loop.quit();
        });
        QElapsedTimer clock;
        clock.start();
        port.write("\x01");
        loop.exec();
        times.push_back(clock.nsecsElapsed() / 1e6);
        QObject::disconnect(&port, &QSerialPort::readyRead, &loop, nullptr);
    }
    return times;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    VirtualController controller;
    PtyServer server(controller);
    if (!server.start())
        qFatal("no pseudo-terminal: %s", qPrintable(server.errorString()));

    const std::vector<double> bare = bareRoundTrips(server.devicePath());

    AppState state;
    PortCatalog catalog;
    catalog.addDevice(server.devicePath());
    SilentShell shell;
    ControllerLink link(state, catalog, shell);
    state.RequestedPort = 1;
    link.setPortNumber(1);
    link.OpenPort();

    std::vector<double> roundTrips;
    for (int i = 0; i < Rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        link.SendHexCommand(QStringLiteral("01"));
        link.WaitForReply();
        roundTrips.push_back(clock.nsecsElapsed() / 1e6);
    }

    controller.setMisbehaviour(Misbehaviour::Silent);
    std::vector<double> windows;
    for (int i = 0; i < 20; ++i) {
        state.ReplyCode.clear();
        QElapsedTimer clock;
        clock.start();
        link.WaitForReply();
        windows.push_back(clock.nsecsElapsed() / 1e6);
    }

    const double bareMedian = median(bare);
    const double linkMedian = median(roundTrips);
    const double windowMedian = median(windows);
    std::printf("command round trip, median of %d over a pseudo-terminal:\n", Rounds);
    std::printf("  bare QSerialPort write to answer   %8.3f ms (baseline)\n", bareMedian);
    std::printf("  link SendHexCommand to ReceiveData %8.3f ms  ratio %.2f\n", linkMedian,
                linkMedian / bareMedian);
    std::printf("reply window with a silent controller, median of 20:\n");
    std::printf("  WaitForReply ends after            %8.3f ms  (target 100 +- 5), max %.3f ms\n",
                windowMedian, *std::max_element(windows.begin(), windows.end()));
    return 0;
}
