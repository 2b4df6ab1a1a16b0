#include "SelfTest.h"

#include "AppState.h"
#include "ControllerLink.h"
#include "ControllerOperations.h"
#include "InProcessPort.h"
#include "PortCatalog.h"
#include "ProgramWindow.h"
#include "QtUiSeam.h"
#include "VirtualController.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

int AddVirtualControllerPort(PortCatalog& catalog, VirtualController& controller)
{
    return catalog.addPort(QStringLiteral("virtual controller"),
                           QStringLiteral("built-in virtual controller"), [&controller] {
                               auto port = std::make_unique<InProcessPort>(controller);
                               port->setLineModel(true);
                               port->setTransmitFifo(16);
                               return port;
                           });
}

namespace {

// Message boxes go to the terminal: a self test must never wait for a click.
class ReportingSeam final : public QtUiSeam
{
public:
    ReportingSeam()
        : QtUiSeam([] { return nullptr; })
    {
    }
    MessageAnswer message(const QString& text, const QString& title, MessageIcon,
                          MessageButtons) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
        return MessageAnswer::Ok;
    }
};

} // namespace

int RunSelfTest()
{
    AppState state;
    PortCatalog catalog;
    VirtualController controller;
    AddVirtualControllerPort(catalog, controller);
    ReportingSeam seam;
    QTemporaryDir folder;
    const std::unique_ptr<ProgramWindow> form =
        MakeProgramWindow(state, catalog, seam, folder.path());
    if (!form->start())
        return 1;
    form->link().SendHexCommand(QStringLiteral("01"));
    form->link().WaitForReply();
    const bool answered = ReadReplyCode(state) == ReplyOutcome::Done;
    std::printf("Self test: call command on %s: reply %s\n",
                qPrintable(catalog.describe(state.OpenPortNumber)), qPrintable(state.ReplyCode));
    form->close();
    return answered ? 0 : 1;
}
