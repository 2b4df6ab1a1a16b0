#include "ControllerScreen.h"

#include "AppState.h"
#include "PortFrame.h"
#include "TrafficLogView.h"

#include <QCheckBox>

void ControllerScreen::setLinkControls(PortFrame* portFrame, QCheckBox* displayData,
                                       TrafficLogView* log)
{
    m_portFrame = portFrame;
    m_displayData = displayData;
    m_log = log;
}

void ControllerScreen::setPortStatus(const QString& text)
{
    m_portFrame->setPortStatus(text);
}

void ControllerScreen::appendTraffic(const QString& text, TrafficDirection direction)
{
    m_log->append(text, direction);
}

int ControllerScreen::displayData() const
{
    return m_displayData->isChecked() ? 1 : 0;
}

void ControllerScreen::setDisplayData(int value)
{
    m_displayData->setChecked(value == 1);
}

void ControllerScreen::setCurrentAddressLabel(const QString& text)
{
    m_portFrame->setCurrentAddress(text);
}

void ControllerScreen::setPortChoice(int portNumber)
{
    m_portFrame->setPortChoice(portNumber);
}

void ControllerScreen::connectOptionBoxes(AppState& state, QCheckBox* controller,
                                          QCheckBox* leftToRight)
{
    connect(controller, &QCheckBox::clicked, this,
            [&state](bool on) { state.ControllerCheckFlag = on ? 1 : 0; });
    connect(leftToRight, &QCheckBox::clicked, this, [&state, leftToRight](bool on) {
        if (state.BusyFlag)
            leftToRight->setChecked(state.LeftToRightFlag != 0);
        else
            state.LeftToRightFlag = on ? 1 : 0;
    });
}
