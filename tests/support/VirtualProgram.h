#pragma once

// The whole program on the built-in virtual controller (the in-process port, as `--simulator`
// gives it) with the desktop scripted: what benches and tools drive outside a test.

#include "AppState.h"
#include "PortCatalog.h"
#include "ProgramWindow.h"
#include "ScriptedUiSeam.h"
#include "SelfTest.h"
#include "VirtualController.h"

struct VirtualProgram
{
    explicit VirtualProgram(const QString& programFolder)
        : form(MakeProgramWindow(state, catalog, seam, programFolder))
    {
        AddVirtualControllerPort(catalog, controller);
    }

    AppState state;
    PortCatalog catalog;
    VirtualController controller;
    ScriptedUiSeam seam;
    std::unique_ptr<ProgramWindow> form;
};
