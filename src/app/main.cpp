#include "AppState.h"
#include "PortCatalog.h"
#include "ProgramFolder.h"
#include "ProgramWindow.h"
#include "QtUiSeam.h"
#include "SelfTest.h"

#include "InProcessPort.h"
#include "VirtualController.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantrel"));
    QApplication::setApplicationVersion(QStringLiteral(VANTREL_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(VANTREL_APP_ID));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Programs display pushbutton switches through their controller board."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption simulator(QStringLiteral("simulator"),
                                       QStringLiteral("Offer the built-in virtual controller as "
                                                      "a serial port."));
    const QCommandLineOption selfTest(
        QStringLiteral("selftest"),
        QStringLiteral("Send one command to the built-in virtual controller and report."));
    parser.addOptions({simulator, selfTest});
    parser.process(app);
    if (parser.isSet(selfTest))
        return RunSelfTest();

    AppState state;
    PortCatalog catalog;
    SystemPortEnumerator systemPorts;
    catalog.addSystemPorts(systemPorts);
    VirtualController controller;
    int virtualPort = 0;
    if (parser.isSet(simulator))
        virtualPort = AddVirtualControllerPort(catalog, controller);
    ProgramWindow* window = nullptr;
    QtUiSeam seam([&window]() -> QWidget* { return window; });
    const std::unique_ptr<ProgramWindow> mainForm =
        MakeProgramWindow(state, catalog, seam, PrepareProgramFolder());
    window = mainForm.get();
    mainForm->setStartPort(virtualPort);
    if (parser.isSet(simulator))
        mainForm->setControllerMemory(&controller);
    if (!mainForm->start())
        return 1;
    mainForm->watchPorts(systemPorts);
    return app.exec();
}
