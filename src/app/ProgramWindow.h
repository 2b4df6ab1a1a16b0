#pragma once

#include <QMainWindow>

#include <chrono>
#include <memory>

struct AppState;
class ControllerLink;
class ControllerMemory;
class PortCatalog;
class PortEnumerator;
class UiSeam;

// The program's main window as main(), the self-test, tests, benches and tools drive it: built,
// started, worked through its widgets, and asked what its status bar shows. How the frame is made
// (menu, screen table, status bar) stays inside the shell.
class ProgramWindow : public QMainWindow
{
    Q_OBJECT
public:
    using QMainWindow::QMainWindow;

    // The start-up sequence. False when the program ended on the way (no usable port).
    virtual bool start() = 0;
    // The port to open at start when it can be opened, instead of the first one.
    virtual void setStartPort(int number) = 0;
    virtual bool hasEnded() const = 0;
    // Looks at the system's ports every `interval` from now on, so adapters plugged in or pulled
    // out show in every port list. Two seconds notice an adapter about as soon as the operator
    // looks for it, and cost a directory scan the program does not feel.
    virtual void watchPorts(PortEnumerator& enumerator,
                            std::chrono::milliseconds interval = std::chrono::seconds(2)) = 0;
    virtual ControllerLink& link() = 0;
    // The controller whose memory the controller view shows, when it can be read directly.
    virtual void setControllerMemory(ControllerMemory* memory) = 0;
    // The text of status bar panel 1..6.
    virtual QString panelText(int panel) const = 0;
    // Writes the reply log to "Controller Reply.txt" and shows that file.
    virtual void ControllerFeedback() = 0;
};

std::unique_ptr<ProgramWindow> MakeProgramWindow(AppState& state, PortCatalog& catalog,
                                                 UiSeam& seam, const QString& programFolder);
