#pragma once

#include "LinkViews.h"

// The window side of the link reduced to nothing, for benches that time the link alone.
class QuietLinkSide : public LinkShell, public LinkScreen
{
public:
    MessageAnswer message(const QString&, const QString&, MessageIcon, MessageButtons) override
    {
        return MessageAnswer::Ok;
    }
    void setPanelText(int, const QString&) override {}
    void setProgressVisible(bool) override {}
    void setProgressMaximum(int) override {}
    void setProgressValue(int) override {}
    void setBusyCursor(bool) override {}
    void beep() override {}
    void endProgram() override {}
    void setPortStatus(const QString&) override {}
    void appendTraffic(const QString&, TrafficDirection) override {}
    int displayData() const override { return 0; }
    void setDisplayData(int) override {}
    void setCurrentAddressLabel(const QString&) override {}
    void setPortChoice(int) override {}
};
