// vantrel-cli: the controller link without a window, for scripts, production lines and machines
// without a screen. See `vantrel-cli --help`.
#include "CliSession.h"
#include "CommandLine.h"
#include "Outcome.h"

#include <QCoreApplication>

#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// Progress is drawn only where someone watches it redraw in place, never into a log file.
bool standardErrorIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));

    const ParsedCommandLine parsed = ParseCommandLine(QCoreApplication::arguments());
    if (!parsed.printAndExit.isEmpty()) {
        std::fputs(parsed.printAndExit.toLocal8Bit().constData(), stdout);
        return ExitCode::Done;
    }
    if (!parsed.request) {
        PrintLine(
            stderr,
            QStringLiteral("vantrel-cli: %1\nTry 'vantrel-cli --help'.").arg(parsed.usageError));
        return ExitCode::Failure;
    }
    CliSession session(*parsed.request, standardErrorIsTerminal() ? stderr : nullptr);
    return session.run();
}
