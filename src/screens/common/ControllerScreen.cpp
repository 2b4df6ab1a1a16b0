#include "ControllerScreen.h"

#include "AppState.h"
#include "ControllerLink.h"
#include "ControllerOptions.h"
#include "PortFrame.h"
#include "TrafficLogView.h"

#include <QCheckBox>
#include <QCloseEvent>

ControllerScreen::ControllerScreen(ScreenContext& context, qint16 startTypeCode,
                                   TrafficLogPanel::Entry entry, QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_portFrame(new PortFrame(context.link, context.seam, this))
    , m_options(new ControllerOptions(context.state, this))
    , m_trafficPanel(new TrafficLogPanel(context.link, entry, this))
    , m_savedTypeCode(startTypeCode)
{
}

ControllerScreen::~ControllerScreen()
{
    if (m_context.link.activeScreen() == this)
        m_context.link.setActiveScreen(nullptr);
}

void ControllerScreen::activate()
{
    AppState& state = m_context.state;
    m_portFrame->takeOverPort(this);
    state.TypeCode = m_savedTypeCode;
    state.CurrentAddress = m_savedAddress;
    m_options->showFlags();
    screenActivated();
}

void ControllerScreen::deactivate()
{
    m_savedTypeCode = m_context.state.TypeCode;
    m_savedAddress = m_context.state.CurrentAddress;
    m_options->keepControllerFlag();
}

void ControllerScreen::closeEvent(QCloseEvent* event)
{
    if (!mayUnload()) {
        event->ignore();
        return;
    }
    ControllerLink& link = m_context.link;
    if (link.activeScreen() == this) {
        link.setActiveScreen(nullptr);
        link.ClosePort();
    }
    QWidget::closeEvent(event);
}

void ControllerScreen::setPortStatus(const QString& text)
{
    m_portFrame->setPortStatus(text);
}

void ControllerScreen::appendTraffic(const QString& text, TrafficDirection direction)
{
    m_trafficPanel->log()->append(text, direction);
}

int ControllerScreen::displayData() const
{
    return m_trafficPanel->displayData()->isChecked() ? 1 : 0;
}

void ControllerScreen::setDisplayData(int value)
{
    m_trafficPanel->displayData()->setChecked(value == 1);
}

void ControllerScreen::setCurrentAddressLabel(const QString& text)
{
    m_portFrame->setCurrentAddress(text);
}

void ControllerScreen::setPortChoice(int portNumber)
{
    m_portFrame->setPortChoice(portNumber);
}
