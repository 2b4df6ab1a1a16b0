#include "PortFrame.h"

#include "ControllerLink.h"
#include "ListSelection.h"
#include "Named.h"
#include "PortCatalog.h"
#include "ProtectedField.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {
const QStringList PortSpeeds{QStringLiteral("9600"), QStringLiteral("19200"),
                             QStringLiteral("57600"), QStringLiteral("115200")};
constexpr int StartSpeedEntry = 2; // 57600
} // namespace

PortFrame::PortFrame(ControllerLink& link, QWidget* parent)
    : QGroupBox(QStringLiteral("Communication Port"), parent)
    , m_link(link)
{
    setObjectName(QStringLiteral("famCommInfo"));
    m_port = Named<QComboBox>("cmbCommPort");
    m_speed = Named<QComboBox>("cmbPortSpeed");
    m_device = Named<QLabel>("lblPortDevice");
    m_device->setWordWrap(true);
    m_status = Named<QLineEdit>("txtDownloadPortStatus");
    ProtectField(m_status);
    m_currentAddress = Named<QLabel>("lblCurrentAddress");

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Comm Port:")), 0, 0);
    grid->addWidget(m_port, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Comm Port Speed:")), 0, 2);
    grid->addWidget(m_speed, 0, 3);
    grid->addWidget(m_device, 1, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Comm State:")), 2, 0);
    grid->addWidget(m_status, 2, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Address Downloading:")), 3, 0, 1, 2);
    grid->addWidget(m_currentAddress, 3, 2, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    m_speed->addItems(PortSpeeds);
    SelectListEntrySilently(m_speed, StartSpeedEntry);
    fillPorts();
    connect(m_port, &QComboBox::activated, this, &PortFrame::onPortChosen);
    connect(m_speed, &QComboBox::activated, this, &PortFrame::onSpeedChosen);
}

void PortFrame::fillPorts()
{
    const QSignalBlocker blocker(m_port);
    m_port->clear();
    const QStringList& ports = m_link.state().PortList;
    for (qsizetype i = 1; i < ports.size() && !ports.at(i).isEmpty(); ++i) {
        m_port->addItem(ports.at(i));
        m_port->setItemData(m_port->count() - 1, m_link.catalog().describe(ports.at(i).toInt()),
                            Qt::ToolTipRole);
    }
    SelectListEntrySilently(m_port, 0);
}

void PortFrame::showRequestedSpeed()
{
    SelectListEntrySilently(
        m_speed, int(PortSpeeds.indexOf(QString::number(m_link.state().RequestedSpeed))));
}

void PortFrame::takeOverPort(LinkScreen* screen)
{
    AppState& state = m_link.state();
    m_link.setActiveScreen(screen);
    if (state.BusyFlag)
        return;
    fillPorts();
    setPortChoice(state.RequestedPort);
    showRequestedSpeed();
    m_link.reopenFor(screen);
}

void PortFrame::onPortChosen()
{
    AppState& state = m_link.state();
    if (state.BusyFlag) {
        setPortChoice(state.RequestedPort);
        return;
    }
    m_link.ClosePort();
    state.RequestedPort = qint16(m_port->currentText().toInt());
    m_link.OpenPort();
    m_device->setText(m_link.catalog().describe(state.RequestedPort));
}

void PortFrame::onSpeedChosen()
{
    AppState& state = m_link.state();
    if (state.BusyFlag) {
        showRequestedSpeed();
        return;
    }
    m_link.ClosePort();
    state.RequestedSpeed = m_speed->currentText().toInt();
    m_link.OpenPort();
}

void PortFrame::setPortChoice(int portNumber)
{
    SelectListEntrySilently(m_port, m_port->findText(QString::number(portNumber)));
    m_device->setText(m_link.catalog().describe(portNumber));
}

void PortFrame::setPortStatus(const QString& text)
{
    m_status->setText(text);
}

QString PortFrame::portStatus() const
{
    return m_status->text();
}

void PortFrame::setCurrentAddress(const QString& text)
{
    m_currentAddress->setText(text);
}

QString PortFrame::speedText() const
{
    return m_speed->currentText();
}
