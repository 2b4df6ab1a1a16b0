#pragma once

#include <QString>

#include <functional>

struct AppState;
class AttributeEditors;
class ControllerLink;
class ControllerMemory;
class ControllerViewModel;
class LinkShell;
class UiSeam;

// The picture the single picture screen has chosen, as its boxes show it. The switch data screen
// starts with it.
struct PictureChoice
{
    QString path; // empty: none chosen
    QString title;
    QString fileSize;
    QString typeText;
    QString address;
    qint16 typeCode = 0; // the picture's display type
};

// What a screen is handed when the main window builds it: the shared state, the one controller
// link, the desktop seam, the main window as the link sees it (status bar, progress, busy
// pointer), the attribute editors, the program's folder and what one screen lends another. Screens
// never see the main window.
struct ScreenContext
{
    AppState& state;
    ControllerLink& link;
    UiSeam& seam;
    LinkShell& shell;
    AttributeEditors& editors;
    QString programFolder;
    // The single picture screen's choice; the screen is built for it if it is not open.
    std::function<PictureChoice()> singlePictureChoice = [] { return PictureChoice(); };
    // The addresses the program has sent to since it started, kept while no view is open.
    ControllerViewModel* controllerView = nullptr;
    // The controller's memory when it can be read directly (the built-in controller), or none.
    ControllerMemory* controllerMemory = nullptr;
    // Opens "Convert Picture..." on a picture the program cannot download as it is.
    std::function<void(const QString& path)> convertPicture = [](const QString&) {};
};
