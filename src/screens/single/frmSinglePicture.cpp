#include "frmSinglePicture.h"

#include "ControllerLink.h"
#include "ListSelection.h"
#include "MDI_MainForm.h"
#include "Named.h"
#include "PortCatalog.h"
#include "TrafficLogView.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// The traffic log starts afresh beyond this many lines, so it never grows without bound.
constexpr int MaxTrafficLines = 700;
const QStringList PortSpeeds{QStringLiteral("9600"), QStringLiteral("19200"),
                             QStringLiteral("57600"), QStringLiteral("115200")};
} // namespace

frmSinglePicture::frmSinglePicture(MDI_MainForm& main, QWidget* parent)
    : QWidget(parent)
    , m_main(main)
{
    setObjectName(QStringLiteral("frmSinglePicture"));
    setWindowTitle(QStringLiteral("Single Picture Download"));
    AppState& state = m_main.state();

    auto* layout = new QGridLayout(this);
    auto* right = new QVBoxLayout;
    right->addWidget(buildControllerFrame());
    right->addWidget(buildPortFrame());
    right->addStretch();
    layout->addLayout(right, 0, 1);
    layout->addWidget(buildManualCommand(), 1, 0, 1, 2);
    layout->addWidget(buildTrafficLog(), 2, 0, 1, 2);
    cmdClose = Named<QPushButton>("cmdClose", QStringLiteral("Close Form"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons, 3, 0, 1, 2);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(0, 1);

    connect(cmdClose, &QPushButton::clicked, this, [this] {
        if (m_main.state().BusyFlag)
            return;
        m_main.state().CancelFlag = true;
        if (parentWidget())
            parentWidget()->close();
        else
            close();
    });

    // Load
    state.ControllerCheckFlag = 1;
    state.CancelFlag = false;
    cmbPortSpeed->addItems(PortSpeeds);
    SelectListEntrySilently(cmbPortSpeed, 2);
    fillPortCombo();
}

frmSinglePicture::~frmSinglePicture() = default;

QGroupBox* frmSinglePicture::buildControllerFrame()
{
    auto* frame = Named<QGroupBox>("famContrInfo", QStringLiteral("Controller"));
    auto* grid = new QGridLayout(frame);
    txtController = Named<QLineEdit>("txtController");
    txtFirmwareVersion = Named<QLineEdit>("txtFirmwareVersion");
    txtControllerSetting = Named<QLineEdit>("txtControllerSetting");
    chkController = Named<QCheckBox>("chkController", QStringLiteral("Controller"));
    chkController->setChecked(true);
    chkController->setToolTip(tr("Untick to ignore the controller's replies"));
    cmdQuery = Named<QPushButton>("cmdQuery", QStringLiteral("Query"));
    const std::pair<const char*, QLineEdit*> boxes[] = {{"Controller:", txtController},
                                                        {"Firmware:", txtFirmwareVersion},
                                                        {"Setting:", txtControllerSetting}};
    int row = 0;
    for (const auto& [caption, box] : boxes) {
        grid->addWidget(new QLabel(QString::fromLatin1(caption)), row, 0);
        grid->addWidget(box, row++, 1, 1, 2);
        m_main.protectField(box);
    }
    grid->addWidget(chkController, row, 0);
    grid->addWidget(cmdQuery, row, 2);
    connect(cmdQuery, &QPushButton::clicked, this, [this] {
        m_main.state().RawReply.clear();
        m_main.link().QueryController();
    });
    connect(chkController, &QCheckBox::clicked, this,
            [this](bool on) { m_main.state().ControllerCheckFlag = on ? 1 : 0; });
    return frame;
}

QGroupBox* frmSinglePicture::buildPortFrame()
{
    auto* frame = Named<QGroupBox>("famCommInfo", QStringLiteral("Communication Port"));
    auto* grid = new QGridLayout(frame);
    cmbCommPort = Named<QComboBox>("cmbCommPort");
    cmbPortSpeed = Named<QComboBox>("cmbPortSpeed");
    lblPortDevice = Named<QLabel>("lblPortDevice");
    lblPortDevice->setWordWrap(true);
    txtDownloadPortStatus = Named<QLineEdit>("txtDownloadPortStatus");
    lblCurrentAddress = Named<QLabel>("lblCurrentAddress");
    grid->addWidget(new QLabel(QStringLiteral("Port:")), 0, 0);
    grid->addWidget(cmbCommPort, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Speed:")), 0, 2);
    grid->addWidget(cmbPortSpeed, 0, 3);
    grid->addWidget(lblPortDevice, 1, 0, 1, 4);
    grid->addWidget(txtDownloadPortStatus, 2, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Downloading to:")), 3, 0, 1, 2);
    grid->addWidget(lblCurrentAddress, 3, 2, 1, 2);
    m_main.protectField(txtDownloadPortStatus);
    connect(cmbCommPort, &QComboBox::activated, this, &frmSinglePicture::onPortChosen);
    connect(cmbPortSpeed, &QComboBox::activated, this, &frmSinglePicture::onSpeedChosen);
    return frame;
}

QWidget* frmSinglePicture::buildManualCommand()
{
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    txtManualCommand = Named<QPlainTextEdit>("txtManualCommand");
    txtManualCommand->setPlaceholderText(tr("Hex bytes such as 26 52 58, or plain text"));
    txtManualCommand->setFixedHeight(txtManualCommand->fontMetrics().lineSpacing() * 3 + 12);
    txtManualCommand->installEventFilter(this);
    cmdSendManualCommand =
        Named<QPushButton>("cmdSendManualCommand", QStringLiteral("Send Manual Command"));
    row->addWidget(txtManualCommand, 1);
    row->addWidget(cmdSendManualCommand, 0, Qt::AlignTop);
    connect(cmdSendManualCommand, &QPushButton::clicked, this, [this] {
        sendManualCommand();
        txtManualCommand->setFocus();
    });
    return box;
}

QWidget* frmSinglePicture::buildTrafficLog()
{
    auto* box = new QWidget;
    auto* column = new QGridLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    chkDispayData =
        Named<QCheckBox>("chkDispayData", QStringLiteral("Transmit in blue. Receive in black:"));
    chkDispayData->setChecked(true);
    cmdClean = Named<QPushButton>("cmdClean", QStringLiteral("Clear"));
    txtControllerFeedback = new TrafficLogView;
    txtControllerFeedback->installEventFilter(this);
    column->addWidget(chkDispayData, 0, 0);
    column->addWidget(cmdClean, 0, 1, Qt::AlignRight);
    column->addWidget(txtControllerFeedback, 1, 0, 1, 2);
    connect(txtControllerFeedback, &QTextEdit::textChanged, this,
            &frmSinglePicture::onTrafficChanged);
    connect(cmdClean, &QPushButton::clicked, this, [this] {
        txtControllerFeedback->clear();
        txtManualCommand->clear();
        txtManualCommand->setFocus();
    });
    return box;
}

void frmSinglePicture::fillPortCombo()
{
    const QSignalBlocker blocker(cmbCommPort);
    cmbCommPort->clear();
    const QStringList& ports = m_main.state().PortList;
    for (qsizetype i = 1; i < ports.size(); ++i) {
        cmbCommPort->addItem(ports.at(i));
        cmbCommPort->setItemData(cmbCommPort->count() - 1,
                                 m_main.link().catalog().describe(ports.at(i).toInt()),
                                 Qt::ToolTipRole);
    }
    SelectListEntrySilently(cmbCommPort, 0);
}

void frmSinglePicture::activate()
{
    AppState& state = m_main.state();
    m_main.link().setActiveScreen(this);
    // A download in progress keeps the port it runs on.
    if (!state.BusyFlag) {
        if (cmbCommPort->count() + 1 != state.PortList.size())
            fillPortCombo();
        setPortChoice(state.RequestedPort);
        SelectListEntrySilently(cmbPortSpeed,
                                int(PortSpeeds.indexOf(QString::number(state.RequestedSpeed))));
        m_main.link().reopenFor(this);
    }
    state.TypeCode = m_savedTypeCode;
    chkController->setChecked(state.ControllerCheckFlag != 0);
}

void frmSinglePicture::deactivate()
{
    m_savedTypeCode = m_main.state().TypeCode;
    m_main.state().ControllerCheckFlag = chkController->isChecked() ? 1 : 0;
}

void frmSinglePicture::closeEvent(QCloseEvent* event)
{
    ControllerLink& link = m_main.link();
    if (link.activeScreen() == this) {
        link.ClosePort();
        link.setActiveScreen(nullptr);
    }
    QWidget::closeEvent(event);
}

void frmSinglePicture::onPortChosen()
{
    AppState& state = m_main.state();
    if (state.BusyFlag) {
        setPortChoice(state.RequestedPort);
        return;
    }
    m_main.link().ClosePort();
    state.RequestedPort = qint16(cmbCommPort->currentText().toInt());
    m_main.link().OpenPort();
    lblPortDevice->setText(m_main.link().catalog().describe(state.RequestedPort));
}

void frmSinglePicture::onSpeedChosen()
{
    AppState& state = m_main.state();
    if (state.BusyFlag) {
        SelectListEntrySilently(cmbPortSpeed,
                                int(PortSpeeds.indexOf(QString::number(state.RequestedSpeed))));
        return;
    }
    m_main.link().ClosePort();
    state.RequestedSpeed = cmbPortSpeed->currentText().toInt();
    m_main.link().OpenPort();
}

void frmSinglePicture::sendManualCommand()
{
    // A command typed during a download would land in the middle of the picture data.
    if (m_main.state().BusyFlag)
        return;
    m_lastManualCommand = txtManualCommand->toPlainText();
    m_main.link().SendHexCommand(m_lastManualCommand);
}

// Enter sends the box; the first Enter after typing also ends the line, further Enters resend
// without adding empty lines. Typing a digit or letter starts the count again.
bool frmSinglePicture::handleManualCommandKey(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        sendManualCommand();
        ++m_enterCount;
        if (m_enterCount < 2)
            txtManualCommand->appendPlainText(QString());
        txtManualCommand->moveCursor(QTextCursor::End);
        return true;
    }
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        m_enterCount = 0;
    return false;
}

bool frmSinglePicture::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == txtManualCommand)
            return handleManualCommandKey(key);
        if (watched == txtControllerFeedback && key == Qt::Key_Backspace)
            m_main.state().ReplyCode.clear();
    }
    return QWidget::eventFilter(watched, event);
}

void frmSinglePicture::onTrafficChanged()
{
    if (txtControllerFeedback->lineCount() > MaxTrafficLines)
        QTimer::singleShot(0, txtControllerFeedback, &QTextEdit::clear);
}

void frmSinglePicture::setPortStatus(const QString& text)
{
    txtDownloadPortStatus->setText(text);
}

void frmSinglePicture::appendTraffic(const QString& text, TrafficDirection direction)
{
    txtControllerFeedback->append(text, direction);
}

int frmSinglePicture::displayData() const
{
    return chkDispayData->isChecked() ? 1 : 0;
}

void frmSinglePicture::setDisplayData(int value)
{
    chkDispayData->setChecked(value == 1);
}

void frmSinglePicture::setCurrentAddressLabel(const QString& text)
{
    lblCurrentAddress->setText(text);
}

void frmSinglePicture::setPortChoice(int portNumber)
{
    SelectListEntrySilently(cmbCommPort, cmbCommPort->findText(QString::number(portNumber)));
    lblPortDevice->setText(m_main.link().catalog().describe(portNumber));
}

void frmSinglePicture::setControllerName(const QString& text)
{
    txtController->setText(text);
}

void frmSinglePicture::setFirmwareVersion(const QString& text)
{
    txtFirmwareVersion->setText(text);
}

void frmSinglePicture::setControllerSettingText(const QString& text)
{
    txtControllerSetting->setText(text);
}
