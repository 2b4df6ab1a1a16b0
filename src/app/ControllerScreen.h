#pragma once

#include "LinkViews.h"
#include "MdiScreen.h"

#include <QWidget>

struct AppState;
class PortFrame;
class QCheckBox;
class TrafficLogView;

// A child screen that talks to the controller: the link writes the port state into the screen's
// port frame and the traffic into its log, echoing sent bytes while "display data" is ticked.
class ControllerScreen : public QWidget, public LinkScreen, public MdiScreen
{
    Q_OBJECT
public:
    void setPortStatus(const QString& text) override;
    void appendTraffic(const QString& text, TrafficDirection direction) override;
    int displayData() const override;
    void setDisplayData(int value) override;
    void setCurrentAddressLabel(const QString& text) override;
    void setPortChoice(int portNumber) override;

protected:
    using QWidget::QWidget;
    // The controls the link writes into, once the screen's layout has made them.
    void setLinkControls(PortFrame* portFrame, QCheckBox* displayData, TrafficLogView* log);
    // "Controller" turns reply checking on and off; "L to R" sets the colour mirroring, except
    // while a download runs, when it springs back.
    void connectOptionBoxes(AppState& state, QCheckBox* controller, QCheckBox* leftToRight);

private:
    PortFrame* m_portFrame = nullptr;
    QCheckBox* m_displayData = nullptr;
    TrafficLogView* m_log = nullptr;
};
