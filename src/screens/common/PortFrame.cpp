#include "PortFrame.h"

#include "ControllerLink.h"
#include "ListSelection.h"
#include "Named.h"
#include "PortCatalog.h"
#include "ProtectedField.h"
#include "QtSerialPortAdapter.h"
#include "UiSeam.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {
const QStringList PortSpeeds{QStringLiteral("9600"), QStringLiteral("19200"),
                             QStringLiteral("57600"), QStringLiteral("115200")};
constexpr int StartSpeedEntry = 2; // 57600
// The port list's last entry carries no port number.
constexpr int OtherDeviceEntry = 0;
const QString OtherDeviceTitle = QStringLiteral("Other Device");
// Wide enough for the number and the start of the device; the device line below the combo, its
// drop-down and its tool tip show the whole name, so the screens keep their drawn width.
constexpr int PortComboCharacters = 8;

// Why `deviceName` cannot serve as a port, or nothing when it opened and closed again.
QString deviceProblem(const QString& deviceName)
{
    QtSerialPortAdapter probe(deviceName);
    if (probe.open()) {
        probe.close();
        return QString();
    }
    const PortError error = probe.lastError();
    if (error.kind == PortErrorClass::NoSuchPort)
        return QStringLiteral("There is no device %1.").arg(deviceName);
    return QStringLiteral("The device %1 cannot be opened as a serial port.\r\n%2")
        .arg(deviceName, error.description);
}
} // namespace

PortFrame::PortFrame(ControllerLink& link, UiSeam& seam, QWidget* parent)
    : QGroupBox(QStringLiteral("Communication Port"), parent)
    , m_link(link)
    , m_seam(seam)
{
    setObjectName(QStringLiteral("famCommInfo"));
    m_port = Named<QComboBox>("cmbCommPort");
    m_port->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_port->setMinimumContentsLength(PortComboCharacters);
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
    connect(&m_link, &ControllerLink::portListChanged, this, &PortFrame::fillPorts);
    connect(m_speed, &QComboBox::activated, this, &PortFrame::onSpeedChosen);
}

// Refilling keeps the port the combo shows.
void PortFrame::fillPorts()
{
    const int shown = m_port->currentData().toInt();
    const QSignalBlocker blocker(m_port);
    m_port->clear();
    const QStringList& ports = m_link.state().PortList;
    const PortCatalog& catalog = m_link.catalog();
    for (qsizetype i = 1; i < ports.size() && !ports.at(i).isEmpty(); ++i) {
        const int number = ports.at(i).toInt();
        m_port->addItem(catalog.label(number), number);
        m_port->setItemData(m_port->count() - 1, catalog.describe(number), Qt::ToolTipRole);
    }
    m_port->addItem(QStringLiteral("Other device..."), OtherDeviceEntry);
    const bool stillListed = shown != OtherDeviceEntry && m_port->findData(shown) >= 0;
    setPortChoice(stillListed ? shown : m_port->itemData(0).toInt());
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
    const int number = m_port->currentData().toInt();
    if (number == OtherDeviceEntry)
        chooseOtherDevice();
    else
        switchToPort(number);
}

void PortFrame::chooseOtherDevice()
{
    const int inUse = m_link.state().RequestedPort;
    setPortChoice(inUse);
    const QString deviceName =
        m_seam
            .text(OtherDeviceTitle,
                  QStringLiteral("Serial device to use (for example /dev/ttyUSB0, or the "
                                 "pseudo-terminal vantrel-sim names):"),
                  QString())
            .trimmed();
    if (deviceName.isEmpty())
        return;
    const int number = catalogNumberFor(deviceName);
    if (number == 0)
        return;
    m_link.listPort(number);
    if (number != inUse)
        switchToPort(number);
}

int PortFrame::catalogNumberFor(const QString& deviceName)
{
    PortCatalog& catalog = m_link.catalog();
    if (const int listed = catalog.numberOf(deviceName))
        return listed;
    QString problem = deviceProblem(deviceName);
    if (problem.isEmpty()) {
        if (const int added =
                catalog.addDevice(deviceName, QStringLiteral("chosen by the operator")))
            return added;
        problem = QStringLiteral("All %1 port numbers are taken; %2 cannot be added.")
                      .arg(PortCatalog::MaxPorts)
                      .arg(deviceName);
    }
    m_seam.message(problem, OtherDeviceTitle, MessageIcon::Exclamation);
    return 0;
}

void PortFrame::switchToPort(int number)
{
    AppState& state = m_link.state();
    m_link.ClosePort();
    state.RequestedPort = qint16(number);
    m_link.OpenPort();
    setPortChoice(state.RequestedPort);
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
    SelectListEntrySilently(m_port, m_port->findData(portNumber));
    m_port->setToolTip(m_port->currentData(Qt::ToolTipRole).toString());
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
