#include "frmSinglePicture.h"

#include "AttributeEditors.h"
#include "ControllerLink.h"
#include "FileClassification.h"
#include "ListSelection.h"
#include "MDI_MainForm.h"
#include "Named.h"
#include "PicturePreview.h"
#include "PortFrame.h"
#include "ProgramMark.h"
#include "TrafficLogView.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
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
const QString StartPicture = QStringLiteral("Koala.bmp");

struct LedButton
{
    const char* caption;
    QColor colour; // invalid: the standard button face
};
const LedButton LedButtons[frmSinglePicture::LedButtonCount] = {{"O", QColor(0xc0, 0xc0, 0xc0)},
                                                                {"G", QColor(0x00, 0xc0, 0x00)},
                                                                {"R", QColor(0xe0, 0x00, 0x00)},
                                                                {"A", QColor(0xff, 0xff, 0x00)},
                                                                {"On", QColor()},
                                                                {"Off", QColor()},
                                                                {"Reset", QColor()}};

QLineEdit* protectedBox(MDI_MainForm& main, const char* name)
{
    auto* box = Named<QLineEdit>(name);
    main.protectField(box);
    return box;
}

} // namespace

frmSinglePicture::frmSinglePicture(MDI_MainForm& main, QWidget* parent)
    : ControllerScreen(parent)
    , m_main(main)
{
    setObjectName(QStringLiteral("frmSinglePicture"));
    setWindowTitle(QStringLiteral("Single Picture Download"));

    auto* layout = new QGridLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(buildPictureFrame());
    left->addWidget(buildAttributeFrame());
    left->addWidget(buildBicolorFrame());
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(buildControllerFrame());
    famCommInfo = new PortFrame(m_main);
    right->addWidget(famCommInfo);
    right->addStretch();
    layout->addLayout(left, 0, 0);
    layout->addLayout(right, 0, 1);
    layout->addWidget(buildManualCommand(), 1, 0, 1, 2);
    layout->addWidget(buildTrafficLog(), 2, 0, 1, 2);
    layout->addLayout(buildButtonRow(), 3, 0, 1, 2);
    layout->setRowStretch(2, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);
    setLinkControls(famCommInfo, chkDispayData, txtControllerFeedback);

    // Load
    AppState& state = m_main.state();
    lblVersion->setText(QStringLiteral("Version " VANTREL_VERSION));
    txtSwitchType->setText(QStringLiteral("OLED 64x48"));
    state.ControllerCheckFlag = 1;
    state.CancelFlag = false;
    cmbFileName->addItem(QStringLiteral("Import bmp"));
    for (QWidget* w : {static_cast<QWidget*>(picOnCycle), static_cast<QWidget*>(picOffCycle),
                       static_cast<QWidget*>(lblOnCycle1), static_cast<QWidget*>(lblOffCycle1)})
        w->hide();
    loadStartPicture();
}

frmSinglePicture::~frmSinglePicture()
{
    m_main.editors().setScreen(nullptr);
}

QGroupBox* frmSinglePicture::buildPictureFrame()
{
    famPicture = Named<QGroupBox>("famPicture", QStringLiteral("Picture"));
    cmbFileName = Named<QComboBox>("cmbFileName");
    cmbFileName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbFileName->setMinimumContentsLength(24);
    txtFileTitle = protectedBox(m_main, "txtFileTitle");
    txtFileSize = protectedBox(m_main, "txtFileSize");
    txtSwitchType = protectedBox(m_main, "txtSwitchType");
    txtAddress = Named<QLineEdit>("txtAddress");
    txtAddress->setMaxLength(4);
    txtAddress->installEventFilter(this);
    picHolderBorder = Named<QFrame>("picHolderBorder");
    picHolderBorder->setFrameStyle(QFrame::Box | QFrame::Plain);
    picHolderBorder->setFixedSize(204, 140);
    picHolder = Named<QLabel>("picHolder", picHolderBorder);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Image:"), txtFileTitle);
    fields->addRow(QStringLiteral("File Size:"), txtFileSize);
    fields->addRow(QStringLiteral("Switch Type:"), txtSwitchType);
    fields->addRow(QStringLiteral("Address:"), txtAddress);
    auto* grid = new QGridLayout(famPicture);
    grid->addWidget(cmbFileName, 0, 0, 1, 2);
    grid->addLayout(fields, 1, 0);
    grid->addWidget(picHolderBorder, 1, 1);
    connect(cmbFileName, &QComboBox::activated, this, &frmSinglePicture::onFileChosen);
    return famPicture;
}

QGroupBox* frmSinglePicture::buildAttributeFrame()
{
    famAttributes = Named<QGroupBox>("famAttributes", QStringLiteral("Attributes"));
    picOnCycle = Named<QFrame>("picOnCycle");
    picOffCycle = Named<QFrame>("picOffCycle");
    for (QFrame* box : {picOnCycle, picOffCycle}) {
        box->setFixedSize(36, 24);
        box->setFrameStyle(QFrame::Box | QFrame::Plain);
        box->setAutoFillBackground(true);
    }
    lblOnCycle1 = Named<QLabel>("lblOnCycle1", QStringLiteral("On"));
    lblOffCycle1 = Named<QLabel>("lblOffCycle1", QStringLiteral("Off"));
    lblLEDinfo =
        Named<QLabel>("lblLEDinfo", QStringLiteral("LED data will be sent with image data"));
    lblLEDinfo->hide();
    cmdEditAttributes = Named<QPushButton>("cmdEditAttributes", QStringLiteral("Edit Attributes"));
    cmdDownloadAttributes =
        Named<QPushButton>("cmdDownloadAttributes", QStringLiteral("Download Attributes"));
    auto* grid = new QGridLayout(famAttributes);
    grid->addWidget(lblOnCycle1, 0, 0);
    grid->addWidget(picOnCycle, 0, 1);
    grid->addWidget(lblOffCycle1, 0, 2);
    grid->addWidget(picOffCycle, 0, 3);
    grid->addWidget(cmdEditAttributes, 0, 5);
    grid->addWidget(cmdDownloadAttributes, 0, 6);
    grid->addWidget(lblLEDinfo, 1, 0, 1, 7);
    grid->setColumnStretch(4, 1);
    connect(cmdEditAttributes, &QPushButton::clicked, this, &frmSinglePicture::editAttributes);
    connect(cmdDownloadAttributes, &QPushButton::clicked, this,
            &frmSinglePicture::downloadAttributes);
    return famAttributes;
}

QGroupBox* frmSinglePicture::buildControllerFrame()
{
    famContrInfo = Named<QGroupBox>("famContrInfo", QStringLiteral("Controller"));
    txtController = protectedBox(m_main, "txtController");
    txtFirmwareVersion = protectedBox(m_main, "txtFirmwareVersion");
    txtControllerSetting = protectedBox(m_main, "txtControllerSetting");
    chkSwitchIdentifier =
        Named<QCheckBox>("chkSwitchIdentifier", QStringLiteral("Switch Identifier"));
    chkLtoR = Named<QCheckBox>("chkLtoR", QStringLiteral("L to R"));
    chkLtoR->setChecked(true);
    chkController = Named<QCheckBox>("chkController", QStringLiteral("Controller"));
    chkController->setChecked(true);
    cmdQuery = Named<QPushButton>("cmdQuery", QStringLiteral("Query"));
    cmdCall = Named<QPushButton>("cmdCall", QStringLiteral("Call"));
    cmdReset = Named<QPushButton>("cmdReset", QStringLiteral("Reset"));

    auto* grid = new QGridLayout(famContrInfo);
    const std::pair<const char*, QLineEdit*> boxes[] = {{"Controller:", txtController},
                                                        {"Firmware:", txtFirmwareVersion},
                                                        {"Setting:", txtControllerSetting}};
    int row = 0;
    for (const auto& [caption, box] : boxes) {
        grid->addWidget(new QLabel(QString::fromLatin1(caption)), row, 0);
        grid->addWidget(box, row++, 1, 1, 2);
    }
    grid->addWidget(chkSwitchIdentifier, row, 0, 1, 2);
    grid->addWidget(chkLtoR, row++, 2);
    grid->addWidget(chkController, row++, 0, 1, 3);
    grid->addWidget(cmdQuery, row, 0);
    grid->addWidget(cmdCall, row, 1);
    grid->addWidget(cmdReset, row, 2);

    AppState& state = m_main.state();
    connectOptionBoxes(state, chkController, chkLtoR);
    connect(cmdQuery, &QPushButton::clicked, this, [this, &state] {
        state.RawReply.clear();
        m_main.link().QueryController();
    });
    connect(cmdCall, &QPushButton::clicked, this, &frmSinglePicture::callController);
    connect(cmdReset, &QPushButton::clicked, this, &frmSinglePicture::resetController);
    return famContrInfo;
}

QGroupBox* frmSinglePicture::buildBicolorFrame()
{
    famBicolorTest = Named<QGroupBox>("famBicolorTest", QStringLiteral("Bicolor Tester"));
    auto* row = new QHBoxLayout(famBicolorTest);
    for (int i = 0; i < LedButtonCount; ++i) {
        cmdLEDs[i] = new QPushButton(QString::fromLatin1(LedButtons[i].caption));
        cmdLEDs[i]->setObjectName(QStringLiteral("cmdLEDs_%1").arg(i)); // a control array
        if (LedButtons[i].colour.isValid()) {
            cmdLEDs[i]->setStyleSheet(
                QStringLiteral("background-color: %1").arg(LedButtons[i].colour.name()));
        }
        cmdLEDs[i]->setMinimumWidth(
            cmdLEDs[i]->fontMetrics().horizontalAdvance(cmdLEDs[i]->text()) + 16);
        row->addWidget(cmdLEDs[i]);
        connect(cmdLEDs[i], &QPushButton::clicked, this, [this, i] { testLed(i); });
    }
    // The frame keeps its place while hidden: the gesture that reveals it aims at that place.
    QSizePolicy policy = famBicolorTest->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    famBicolorTest->setSizePolicy(policy);
    famBicolorTest->hide();
    return famBicolorTest;
}

QWidget* frmSinglePicture::buildManualCommand()
{
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    txtManualCommand = Named<QPlainTextEdit>("txtManualCommand");
    txtManualCommand->setPlaceholderText(tr("Hex bytes such as 26 52 58, or plain text"));
    txtManualCommand->setFixedHeight(txtManualCommand->fontMetrics().lineSpacing() * 2 + 12);
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
    txtControllerFeedback->setMinimumHeight(90);
    txtControllerFeedback->installEventFilter(this);
    column->addWidget(chkDispayData, 0, 0);
    column->addWidget(cmdClean, 0, 1, Qt::AlignRight);
    column->addWidget(txtControllerFeedback, 1, 0, 1, 2);
    connect(txtControllerFeedback, &QPlainTextEdit::textChanged, this,
            &frmSinglePicture::onTrafficChanged);
    connect(cmdClean, &QPushButton::clicked, this, [this] {
        txtControllerFeedback->clear();
        txtManualCommand->clear();
        txtManualCommand->setFocus();
    });
    return box;
}

QLayout* frmSinglePicture::buildButtonRow()
{
    cmdShowPicture =
        Named<QPushButton>("cmdShowPicture", QStringLiteral("Download Selected Image"));
    cmdClear = Named<QPushButton>("cmdClear", QStringLiteral("Clear Current Address"));
    cmdCancel = Named<QPushButton>("cmdCancel", QStringLiteral("Cancel Download"));
    cmdDownloadTextFile =
        Named<QPushButton>("cmdDownloadTextFile", QStringLiteral("Download Text File"));
    cmdClose = Named<QPushButton>("cmdClose", QStringLiteral("Close Form"));
    cmdCancel->setAutoFillBackground(true);
    imgQuorvelLogo = Named<QLabel>("imgQuorvelLogo");
    imgQuorvelLogo->setPixmap(ProgramMark(28));
    lblOLEDProgrammer = Named<QLabel>("lblOLEDProgrammer", QStringLiteral("Vantrel"));
    QFont bold = lblOLEDProgrammer->font();
    bold.setBold(true);
    lblOLEDProgrammer->setFont(bold);
    lblVersion = Named<QLabel>("lblVersion");

    auto* row = new QHBoxLayout;
    row->addWidget(imgQuorvelLogo);
    auto* name = new QVBoxLayout;
    name->addWidget(lblOLEDProgrammer);
    name->addWidget(lblVersion);
    row->addLayout(name);
    row->addStretch();
    for (QPushButton* button : {cmdShowPicture, cmdClear, cmdCancel, cmdDownloadTextFile, cmdClose})
        row->addWidget(button);
    connect(cmdShowPicture, &QPushButton::clicked, this, &frmSinglePicture::downloadPicture);
    connect(cmdClear, &QPushButton::clicked, this, &frmSinglePicture::clearAddress);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSinglePicture::cancelDownload);
    connect(cmdDownloadTextFile, &QPushButton::clicked, this, &frmSinglePicture::downloadTextFile);
    connect(cmdClose, &QPushButton::clicked, this, [this] {
        if (m_main.state().BusyFlag)
            return;
        m_main.state().CancelFlag = true;
        (parentWidget() ? parentWidget() : static_cast<QWidget*>(this))->close();
    });
    return row;
}

void frmSinglePicture::loadStartPicture()
{
    const QString folder = QDir(m_main.programFolder()).absolutePath() + QLatin1Char('/');
    FileObjects objects;
    if (!OpenFileObjects(folder + StartPicture, folder, objects))
        return;
    ClassifyFile(m_records, objects.File, 1, m_main.state(), InitialLcd64x32Defaults());
    cmbFileName->addItem(m_records[1].Path);
    SelectListEntrySilently(cmbFileName, 1);
    m_currentIndex = 1;
    txtFileTitle->setText(m_records[1].Name);
    txtFileTitle->setCursorPosition(0);
    txtFileSize->setText(QString::number(m_records[1].FileLength));
    // The start-up picture gets the first address, like any picture the operator selects.
    txtAddress->setText(QStringLiteral("0001"));
    ShowPicturePreview(m_records[1].Path, picHolder, picHolderBorder);
}

void frmSinglePicture::activate()
{
    AppState& state = m_main.state();
    m_main.editors().setScreen(this);
    famCommInfo->takeOverPort(this);
    state.TypeCode = m_savedTypeCode;
    state.CurrentAddress = txtAddress->text();
    chkController->setChecked(state.ControllerCheckFlag != 0);
    chkLtoR->setChecked(state.LeftToRightFlag != 0);
}

void frmSinglePicture::deactivate()
{
    m_savedTypeCode = m_main.state().TypeCode;
    m_main.state().ControllerCheckFlag = chkController->isChecked() ? 1 : 0;
}

void frmSinglePicture::closeEvent(QCloseEvent* event)
{
    m_main.editors().setScreen(nullptr);
    ControllerLink& link = m_main.link();
    if (link.activeScreen() == this) {
        link.setActiveScreen(nullptr);
        link.ClosePort();
    }
    QWidget::closeEvent(event);
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
    } else if (event->type() == QEvent::FocusOut && watched == txtAddress) {
        validateAddress();
    } else if (event->type() == QEvent::FocusIn && watched == txtAddress) {
        QTimer::singleShot(0, txtAddress, &QLineEdit::selectAll);
    }
    return QWidget::eventFilter(watched, event);
}

void frmSinglePicture::mousePressEvent(QMouseEvent* event)
{
    // The LED tester stays out of sight unless Shift, Ctrl and Alt are held while clicking
    // where it lies.
    const Qt::KeyboardModifiers all = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    const bool reveal = (event->modifiers() & all) == all &&
                        famBicolorTest->geometry().contains(event->position().toPoint());
    famBicolorTest->setVisible(reveal);
    QWidget::mousePressEvent(event);
}

void frmSinglePicture::onTrafficChanged()
{
    if (txtControllerFeedback->lineCount() > MaxTrafficLines)
        QTimer::singleShot(0, txtControllerFeedback, &QPlainTextEdit::clear);
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
