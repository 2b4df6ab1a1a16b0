#pragma once

#include <QString>

struct AppState;
class AttributeEditors;
class ControllerLink;
class LinkShell;
class UiSeam;

// What a screen is handed when the main window builds it: the shared state, the one controller
// link, the desktop seam, the main window as the link sees it (status bar, progress, busy
// pointer), the attribute editors and the program's folder. Screens never see the main window.
struct ScreenContext
{
    AppState& state;
    ControllerLink& link;
    UiSeam& seam;
    LinkShell& shell;
    AttributeEditors& editors;
    QString programFolder;
};
