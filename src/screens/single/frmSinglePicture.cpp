#include "frmSinglePicture.h"

#include "AppState.h"
#include "AttributeEditors.h"
#include "ControllerLink.h"
#include "ControllerOptions.h"
#include "FileClassification.h"
#include "ListSelection.h"
#include "Named.h"
#include "PictureDownload.h"
#include "PictureFrame.h"
#include "PicturePreview.h"
#include "PortFrame.h"
#include "ProgramMark.h"
#include "ProtectedField.h"
#include "TrafficLogView.h"
#include "UiSeam.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
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

} // namespace

frmSinglePicture::frmSinglePicture(ScreenContext& context, QWidget* parent)
    : ControllerScreen(context, SwitchTypeCode::Oled64x48, TrafficLogPanel::Entry::ManualCommand,
                       parent)
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
    right->addWidget(portFrame());
    right->addStretch();
    layout->addLayout(left, 0, 0);
    layout->addLayout(right, 0, 1);
    layout->addWidget(buildTrafficLog(), 1, 0, 1, 2);
    layout->addLayout(buildButtonRow(), 2, 0, 1, 2);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);

    // Load
    AppState& state = m_context.state;
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
    m_context.editors.setScreen(nullptr);
}

QGroupBox* frmSinglePicture::buildPictureFrame()
{
    famPicture = new PictureFrame(m_context.state, m_context.seam);
    cmbFileName = famPicture->files();
    txtFileTitle = famPicture->title();
    txtFileSize = famPicture->fileSize();
    txtSwitchType = famPicture->switchType();
    txtAddress = famPicture->address();
    picHolderBorder = famPicture->previewBorder();
    picHolder = famPicture->preview();
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
    txtController = ProtectedBox("txtController");
    txtFirmwareVersion = ProtectedBox("txtFirmwareVersion");
    txtControllerSetting = ProtectedBox("txtControllerSetting");
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
    grid->addWidget(options(), row++, 0, 1, 3);
    connect(options()->leftToRight(), &QCheckBox::clicked, this,
            &frmSinglePicture::updateSwitchPreview);
    grid->addWidget(cmdQuery, row, 0);
    grid->addWidget(cmdCall, row, 1);
    grid->addWidget(cmdReset, row, 2);

    AppState& state = m_context.state;
    connect(cmdQuery, &QPushButton::clicked, this, [this, &state] {
        state.RawReply.clear();
        m_context.link.QueryController();
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

QWidget* frmSinglePicture::buildTrafficLog()
{
    TrafficLogPanel* panel = trafficPanel();
    panel->displayData()->setChecked(true);
    TrafficLogView* log = panel->log();
    log->setMinimumHeight(90);
    log->installEventFilter(this);
    connect(log, &QPlainTextEdit::textChanged, this, &frmSinglePicture::onTrafficChanged);
    return panel;
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
    m_download = std::make_unique<PictureDownload>(
        m_context, cmdCancel, famPicture,
        QList<QWidget*>{famContrInfo, portFrame(), famPicture, famAttributes});
    connect(cmdCancel, &QPushButton::clicked, this, [this] { m_download->cancel(); });
    connect(cmdDownloadTextFile, &QPushButton::clicked, this, &frmSinglePicture::downloadTextFile);
    connect(cmdClose, &QPushButton::clicked, this, [this] {
        if (m_context.state.BusyFlag)
            return;
        m_context.state.CancelFlag = true;
        (parentWidget() ? parentWidget() : static_cast<QWidget*>(this))->close();
    });
    return row;
}

void frmSinglePicture::loadStartPicture()
{
    const QString folder = QDir(m_context.programFolder).absolutePath() + QLatin1Char('/');
    FileObjects objects;
    if (!OpenFileObjects(folder + StartPicture, folder, objects))
        return;
    ClassifyFile(m_records, objects.File, 1, m_context.state, InitialLcd64x32Defaults());
    cmbFileName->addItem(m_records[1].Path);
    SelectListEntrySilently(cmbFileName, 1);
    m_currentIndex = 1;
    famPicture->showFile(m_records[1]);
    // The start-up picture gets the first address, like any picture the operator selects.
    txtAddress->setText(QStringLiteral("0001"));
    setStartAddress(txtAddress->text());
    ShowPicturePreview(m_records[1].Path, picHolder, picHolderBorder);
}

// The flags are shared with the other screens: "L to R" may have changed while this one was away.
void frmSinglePicture::screenActivated()
{
    m_context.editors.setScreen(this);
    updateSwitchPreview();
}

bool frmSinglePicture::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == trafficLog() && key == Qt::Key_Backspace)
            m_context.state.ReplyCode.clear();
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
    if (trafficLog()->lineCount() > MaxTrafficLines)
        QTimer::singleShot(0, trafficLog(), &QPlainTextEdit::clear);
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
