// vantrel-cli batch on several controllers at once: a 200-picture MONO 96x64 batch split over 1,
// 2 and 4 virtual controllers, each behind a pseudo-terminal whose far end reads at 115200 bit/s
// as a real line would. The program runs as the operator runs it, a separate process with one
// thread per port. Printed for each N: the wall time of the whole command against the line time
// of the largest share (the characters one controller received, 10 bits each), whose ratio is
// the cost of running the ports side by side (target at most 1.10).
// Usage: bench_cli [pictures, default 200]

#include "PictureCopies.h"
#include "PtyServer.h"
#include "VirtualController.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr qint32 LineSpeed = 115200;
constexpr int BitsPerCharacter = 10; // start bit, eight data bits, stop bit
constexpr int PortCounts[] = {1, 2, 4};
constexpr double Target = 1.10;

struct Station
{
    std::unique_ptr<VirtualController> controller = std::make_unique<VirtualController>();
    std::unique_ptr<PtyServer> server = std::make_unique<PtyServer>(*controller);
};

// Runs the command while this process serves the pseudo-terminals; its exit status.
int runCli(const QStringList& arguments)
{
    QProcess process;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(VANTREL_CLI_PATH), arguments);
    if (!process.waitForStarted())
        return -1;
    loop.exec();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// False when the batch did not arrive whole.
bool runOn(int ports, const QString& folder, int pictures)
{
    std::vector<Station> stations(ports);
    QStringList arguments{"batch", folder, "--type", "MONO 96x64", "--speed", "115200", "--split"};
    for (Station& station : stations) {
        if (!station.server->start())
            return false;
        station.server->setLineSpeed(LineSpeed);
        arguments << "--port" << station.server->devicePath();
    }
    QElapsedTimer clock;
    clock.start();
    const int exitCode = runCli(arguments);
    const double wallMs = double(clock.elapsed());
    qsizetype largestShare = 0;
    int stored = 0;
    for (const Station& station : stations) {
        largestShare = std::max(largestShare, station.controller->receivedBytes().size());
        stored += station.controller->counters().picturesStored;
    }
    const double lineMs = double(largestShare) * BitsPerCharacter * 1000.0 / LineSpeed;
    const double ratio = wallMs / lineMs;
    std::printf("    %d controller%s: wall %.2f s, line time of the largest share %.2f s (%lld "
                "characters), ratio %.3f (target at most %.2f)%s\n",
                ports, ports == 1 ? " " : "s", wallMs / 1000.0, lineMs / 1000.0,
                qlonglong(largestShare), ratio, Target, ratio <= Target ? "" : "  ABOVE TARGET");
    return exitCode == 0 && stored == pictures;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int pictures = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 200;
    QFile sample(QStringLiteral(":/samples/MONO 96x64 Bell.bmp"));
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("batch"));
    if (!sample.open(QIODevice::ReadOnly) || !WriteCopies(folder, sample.readAll(), pictures)) {
        std::printf("cannot write the batch folder\n");
        return 1;
    }
    std::printf("vantrel-cli batch of %d MONO 96x64 pictures split over line-paced virtual "
                "controllers at %d bit/s\n",
                pictures, LineSpeed);
    bool whole = true;
    for (int ports : PortCounts)
        whole = runOn(ports, folder, pictures) && whole;
    return whole ? 0 : 1;
}
