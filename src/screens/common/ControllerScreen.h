#pragma once

#include "LinkViews.h"
#include "MdiScreen.h"
#include "ScreenContext.h"
#include "TrafficLogPanel.h"

#include <QWidget>

class ControllerOptions;
class PortFrame;

// A child screen that talks to the controller, with the screen contract written once:
// - activation makes it the screen the link writes into, takes over the port with the requested
//   port and speed, puts back the TypeCode and CurrentAddress in force when it was last left,
//   and shows the shared flags in its option boxes;
// - deactivation keeps TypeCode and CurrentAddress for next time and "Controller" in the flags;
// - unloading closes the port, unless the screen says it must stay (a run on the stack).
// Each screen lays out the shared parts (port frame, controller options, traffic log panel)
// where it wants them and adds its own through the hooks.
class ControllerScreen : public QWidget, public LinkScreen, public MdiScreen
{
    Q_OBJECT
public:
    ~ControllerScreen() override;

    // MdiScreen
    void activate() final;
    void deactivate() final;

    // LinkScreen
    void setPortStatus(const QString& text) override;
    void appendTraffic(const QString& text, TrafficDirection direction) override;
    int displayData() const override;
    void setDisplayData(int value) override;
    void setCurrentAddressLabel(const QString& text) override;
    void setPortChoice(int portNumber) override;

protected:
    ControllerScreen(ScreenContext& context, qint16 startTypeCode, TrafficLogPanel::Entry entry,
                     QWidget* parent);

    PortFrame* portFrame() const { return m_portFrame; }
    ControllerOptions* options() const { return m_options; }
    TrafficLogPanel* trafficPanel() const { return m_trafficPanel; }
    // The address the next activation puts in force, before the screen was ever left.
    void setStartAddress(const QString& address) { m_savedAddress = address; }
    // The TypeCode the first activation puts in force.
    void setStartTypeCode(qint16 typeCode) { m_savedTypeCode = typeCode; }

    // Hooks of the contract, run after the shared steps.
    virtual void screenActivated() {}
    virtual bool mayUnload() const { return true; }

    void closeEvent(QCloseEvent* event) final;

    ScreenContext& m_context;

private:
    PortFrame* m_portFrame = nullptr;
    ControllerOptions* m_options = nullptr;
    TrafficLogPanel* m_trafficPanel = nullptr;
    qint16 m_savedTypeCode;
    QString m_savedAddress;
};
