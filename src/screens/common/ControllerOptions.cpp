#include "ControllerOptions.h"

#include "AppState.h"
#include "Named.h"

#include <QCheckBox>
#include <QVBoxLayout>

ControllerOptions::ControllerOptions(AppState& state, QWidget* parent)
    : QWidget(parent)
    , m_state(state)
{
    m_switchIdentifier =
        Named<QCheckBox>("chkSwitchIdentifier", QStringLiteral("Switch Identifier"));
    m_leftToRight = Named<QCheckBox>("chkLtoR", QStringLiteral("L to R"));
    m_leftToRight->setChecked(true);
    m_controller = Named<QCheckBox>("chkController", QStringLiteral("Controller"));
    m_controller->setChecked(true);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    for (QCheckBox* box : {m_switchIdentifier, m_leftToRight, m_controller})
        column->addWidget(box);
    connect(m_controller, &QCheckBox::clicked, this,
            [this](bool on) { m_state.ControllerCheckFlag = on ? 1 : 0; });
    connect(m_leftToRight, &QCheckBox::clicked, this, [this](bool on) {
        if (m_state.BusyFlag)
            m_leftToRight->setChecked(m_state.LeftToRightFlag != 0);
        else
            m_state.LeftToRightFlag = on ? 1 : 0;
    });
}

void ControllerOptions::showFlags()
{
    m_controller->setChecked(m_state.ControllerCheckFlag != 0);
    m_leftToRight->setChecked(m_state.LeftToRightFlag != 0);
}

void ControllerOptions::keepControllerFlag()
{
    m_state.ControllerCheckFlag = m_controller->isChecked() ? 1 : 0;
}
