#pragma once

#include "Prompter.h"

#include <QString>

enum class TrafficDirection { Sent, Received };

// The controls of the active screen that the link writes into. Every screen that talks to the
// controller implements it; the controller identity boxes exist on the single picture screen only.
class LinkScreen
{
public:
    virtual ~LinkScreen() = default;
    virtual void setPortStatus(const QString& text) = 0; // txtDownloadPortStatus
    virtual void appendTraffic(const QString& text, TrafficDirection direction) = 0;
    virtual int displayData() const = 0; // chkDispayData
    virtual void setDisplayData(int value) = 0;
    virtual void setCurrentAddressLabel(const QString& text) = 0; // lblCurrentAddress
    virtual void setPortChoice(int portNumber) = 0;               // cmbCommPort
    virtual void setControllerName(const QString&) {}
    virtual void setFirmwareVersion(const QString&) {}
    virtual void setControllerSettingText(const QString&) {}
};

// The main window as the link sees it: status bar panels 1..6, the progress bar of panel 2,
// the busy pointer, the beep, message boxes, and ending the program on a fatal port error.
class LinkShell : public Prompter
{
public:
    virtual void setPanelText(int panel, const QString& text) = 0;
    virtual void setProgressVisible(bool visible) = 0;
    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressValue(int value) = 0;
    virtual void setBusyCursor(bool busy) = 0;
    virtual void beep() = 0;
    virtual void endProgram() = 0;
};
