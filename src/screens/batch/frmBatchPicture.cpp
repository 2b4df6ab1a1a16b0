#include "frmBatchPicture.h"

#include "AppState.h"
#include "BatchArithmetic.h"
#include "ButtonColour.h"
#include "ControllerLink.h"
#include "ControllerOptions.h"
#include "ListSelection.h"
#include "Named.h"
#include "PicturePreview.h"
#include "PortFrame.h"
#include "Prompter.h"
#include "ProtectedField.h"
#include "SwitchPreview.h"
#include "SwitchTypeIcons.h"
#include "TrafficLogView.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QTimer>
#include <QTreeView>

namespace {

// The types a batch can hold, in the order of the choice; entry i is type code i + 1.
const char* const SwitchTypes[] = {"LCD 36x24", "LCD 64x32", "OLED 64x48", "OLED 52x36",
                                   "MONO 96x64"};
constexpr int StartTypeEntry = 2; // "OLED 64x48"
// Long loops let the window run this often: soon enough to feel immediate, seldom enough that a
// folder of thousands of files is not slowed down by as many repaints.
constexpr qint64 PumpEveryMs = 10;
// The batch log keeps this many lines; older ones go, so a long run cannot fill the memory.
constexpr int MaxTrafficLines = 700;

QComboBox* addressCombo(const char* name)
{
    auto* combo = Named<QComboBox>(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    // Thousands of addresses are set in one go rather than item by item.
    combo->setModel(new QStringListModel(combo));
    // Sized by a short address, not by scanning thousands of entries.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(5);
    return combo;
}

} // namespace

frmBatchPicture::frmBatchPicture(ScreenContext& context, QWidget* parent)
    : ControllerScreen(context, qint16(StartTypeEntry + 1), TrafficLogPanel::Entry::None, parent)
    , m_run(context.link, *this)
{
    setObjectName(QStringLiteral("frmBatchPicture"));
    setWindowTitle(QStringLiteral("Batch Picture Download"));

    // Laid out to fit the main window's usual size: the batch and its log on the left, the
    // preview, the address block and the port on the right, the run along the bottom.
    auto* left = new QVBoxLayout;
    left->addWidget(buildImportFrame());
    left->addWidget(buildFileList(), 3);
    left->addWidget(buildTrafficLog(), 1);
    auto* right = new QVBoxLayout;
    right->addLayout(buildPreviews());
    auto* options = new QHBoxLayout;
    options->addWidget(buildOptions());
    options->addWidget(buildAddressFrame(), 1);
    right->addLayout(options);
    right->addWidget(portFrame());
    right->addStretch();
    auto* layout = new QGridLayout(this);
    layout->addLayout(left, 0, 0);
    layout->addLayout(right, 0, 1);
    layout->addWidget(buildRunButtons(), 1, 0, 1, 2);
    layout->setRowStretch(0, 1);
    layout->setColumnStretch(0, 1);

    // Load
    for (int i = 0; i < int(std::size(SwitchTypes)); ++i)
        cmbSwitchType->addItem(SwitchTypeIcon(qint16(i + 1)), QString::fromLatin1(SwitchTypes[i]));
    SelectListEntrySilently(cmbSwitchType, StartTypeEntry);
    txtOffsetAddress->setMaxLength(4);
    lblTime->setText(IdleTimeLabelText);
}

frmBatchPicture::~frmBatchPicture() = default;

QWidget* frmBatchPicture::buildImportFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("Import"));
    cmbSwitchType = Named<QComboBox>("cmbSwitchType");
    cmbSwitchType->setIconSize(SwitchIconSize);
    cmdImportBatch = Named<QPushButton>("cmdImportBatch", QStringLiteral("Import Batch"));
    cmdCancelImport = Named<QPushButton>("cmdCancelImport", QStringLiteral("Cancel Import"));
    cmdCancelImport->hide();
    cmdCancelImport->setEnabled(false);
    txtFilePath = ProtectedBox("txtFilePath");
    txtFirstFile = ProtectedBox("txtFirstFile");
    txtFileSize = ProtectedBox("txtFileSize");
    cmdEditAttributes = Named<QPushButton>("cmdEditAttributes", QStringLiteral("Edit Attributes"));

    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("Switch Type:")), 0, 0);
    grid->addWidget(cmbSwitchType, 0, 1);
    grid->addWidget(cmdImportBatch, 0, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Folder:")), 1, 0);
    grid->addWidget(txtFilePath, 1, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("First File:")), 2, 0);
    grid->addWidget(txtFirstFile, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("File Size:")), 2, 2, Qt::AlignRight);
    grid->addWidget(txtFileSize, 2, 3);
    grid->addWidget(cmdCancelImport, 3, 1, Qt::AlignLeft);
    grid->addWidget(cmdEditAttributes, 3, 2, 1, 2);
    grid->setColumnStretch(1, 1);
    txtFileSize->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
    connect(cmbSwitchType, &QComboBox::activated, this, &frmBatchPicture::onSwitchTypeChosen);
    connect(cmdImportBatch, &QPushButton::clicked, this, &frmBatchPicture::importBatch);
    connect(cmdCancelImport, &QPushButton::clicked, this, &frmBatchPicture::cancelImport);
    connect(cmdEditAttributes, &QPushButton::clicked, this, &frmBatchPicture::editAttributes);
    return frame;
}

QWidget* frmBatchPicture::buildFileList()
{
    auto* box = new QWidget;
    m_files = new BatchFileModel(this);
    m_files->setCheckGate([this] { return !m_context.state.BusyFlag; });
    LsvManyFiles = Named<QTreeView>("LsvManyFiles");
    LsvManyFiles->setModel(m_files);
    LsvManyFiles->setRootIsDecorated(false);
    LsvManyFiles->setUniformRowHeights(true);
    LsvManyFiles->setAllColumnsShowFocus(true);
    LsvManyFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    LsvManyFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    QHeaderView* header = LsvManyFiles->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(BatchFileModel::FileColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(BatchFileModel::AddressColumn, QHeaderView::Fixed);
    header->resizeSection(BatchFileModel::AddressColumn,
                          fontMetrics().horizontalAdvance(QStringLiteral("Address")) + 24);

    cmdCheckAll = Named<QPushButton>("cmdCheckAll", QStringLiteral("All"));
    cmdCheckNone = Named<QPushButton>("cmdCheckNone", QStringLiteral("None"));
    cmdInvert = Named<QPushButton>("cmdInvert", QStringLiteral("Invert"));
    cmdRefresh = Named<QPushButton>("cmdRefresh", QStringLiteral("Refresh"));
    auto* marks = new QHBoxLayout;
    marks->addWidget(new QLabel(QStringLiteral("Check Marks:")));
    for (QPushButton* button : {cmdCheckAll, cmdCheckNone, cmdInvert}) {
        // Short captions need no full-width buttons; the list keeps the room.
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 24);
        marks->addWidget(button);
    }
    marks->addStretch();
    marks->addWidget(cmdRefresh);

    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(new QLabel(QStringLiteral("Files and Addresses:")));
    column->addWidget(LsvManyFiles, 1);
    column->addLayout(marks);

    using Action = BatchFileModel::CheckAction;
    connect(cmdCheckAll, &QPushButton::clicked, this, [this] {
        checkMarks(Action::All, QStringLiteral("No files to check."),
                   QStringLiteral("Check All File List Message"));
    });
    connect(cmdCheckNone, &QPushButton::clicked, this, [this] {
        checkMarks(Action::None, QStringLiteral("No files to uncheck."),
                   QStringLiteral("Check None File List Message"));
    });
    connect(cmdInvert, &QPushButton::clicked, this, [this] {
        checkMarks(Action::Invert, QStringLiteral("No files to invert check."),
                   QStringLiteral("Invert File List Message"));
    });
    connect(cmdRefresh, &QPushButton::clicked, this, &frmBatchPicture::refreshClicked);
    connect(m_files, &BatchFileModel::rowCheckedByOperator, this, &frmBatchPicture::onRowChecked);
    connect(LsvManyFiles, &QTreeView::clicked, this, &frmBatchPicture::onRowClicked);
    return box;
}

QLayout* frmBatchPicture::buildPreviews()
{
    picHolderBorder = Named<QFrame>("picHolderBorder");
    picHolderBorder->setFrameStyle(QFrame::Box | QFrame::Plain);
    picHolderBorder->setFixedSize(PreviewBoxSize);
    picHolder = Named<QLabel>("picHolder", picHolderBorder);
    picHolder->hide();
    picSwitchPreview = new SwitchPreview(QStringLiteral("picSwitchPreview"));
    auto* row = new QHBoxLayout;
    row->addWidget(picHolderBorder, 0, Qt::AlignTop);
    row->addWidget(picSwitchPreview, 0, Qt::AlignTop);
    return row;
}

QWidget* frmBatchPicture::buildAddressFrame()
{
    auto* frame = new QGroupBox(QStringLiteral("Addresses"));
    cmbStartAddresses = addressCombo("cmbStartAddresses");
    cmbStopAddresses = addressCombo("cmbStopAddresses");
    cmdSetStart = Named<QPushButton>("cmdSetStart", QStringLiteral("Start / Stop"));
    txtOffsetAddress = Named<QLineEdit>("txtOffsetAddress");
    cmdOffsetAddresses = Named<QPushButton>("cmdOffsetAddresses", QStringLiteral("Offset"));
    cmdReverse = Named<QPushButton>("cmdReverse", QStringLiteral("Reverse"));
    txtMaxStartAddress = ProtectedBox("txtMaxStartAddress");

    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("Start Address:")), 0, 0);
    grid->addWidget(cmbStartAddresses, 0, 1);
    grid->addWidget(cmdSetStart, 0, 2, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Stop Address:")), 1, 0);
    grid->addWidget(cmbStopAddresses, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Offset Address:")), 2, 0);
    grid->addWidget(txtOffsetAddress, 2, 1);
    grid->addWidget(cmdOffsetAddresses, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("Max Offset:")), 3, 0);
    grid->addWidget(txtMaxStartAddress, 3, 1);
    grid->addWidget(cmdReverse, 3, 2);
    grid->setColumnStretch(1, 1);
    cmdSetStart->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);

    for (QComboBox* combo : {cmbStartAddresses, cmbStopAddresses}) {
        combo->installEventFilter(this);
        combo->lineEdit()->installEventFilter(this);
    }
    txtOffsetAddress->installEventFilter(this);
    connect(cmdSetStart, &QPushButton::clicked, this, &frmBatchPicture::tickStartToStop);
    connect(cmdOffsetAddresses, &QPushButton::clicked, this, &frmBatchPicture::offsetAddresses);
    connect(cmdReverse, &QPushButton::clicked, this, &frmBatchPicture::reverseAddresses);
    return frame;
}

QWidget* frmBatchPicture::buildOptions()
{
    auto* frame = new QGroupBox(QStringLiteral("Controller"));
    auto* column = new QVBoxLayout(frame);
    column->addWidget(options());
    column->addStretch();
    connect(options()->leftToRight(), &QCheckBox::clicked, this, [this] {
        if (isIdle())
            previewSelectedRow();
    });
    return frame;
}

QWidget* frmBatchPicture::buildTrafficLog()
{
    // A whole batch of picture data would flood the log: data are echoed only when asked for.
    TrafficLogPanel* panel = trafficPanel();
    TrafficLogView* log = panel->log();
    log->setMaximumBlockCount(MaxTrafficLines);
    log->setMinimumHeight(50);
    connect(panel, &TrafficLogPanel::cleared, this, [this] { cmdDownloadBatch->setFocus(); });
    return panel;
}

QWidget* frmBatchPicture::buildRunButtons()
{
    auto* box = new QWidget;
    lblTime = Named<QLabel>("lblTime");
    cmdDownloadBatch = Named<QPushButton>("cmdDownloadBatch", QStringLiteral("Download Batch"));
    cmdDownloadPicture =
        Named<QPushButton>("cmdDownloadPicture", QStringLiteral("Download Selected Image"));
    cmdPause = Named<QPushButton>("cmdPause", QStringLiteral("Pause  Download"));
    cmdContinueDownload =
        Named<QPushButton>("cmdContinueDownload", QStringLiteral("Continue Download"));
    cmdContinueDownload->hide();
    cmdCancel = Named<QPushButton>("cmdCancel", QStringLiteral("Cancel Download"));
    cmdReset = Named<QPushButton>("cmdReset", QStringLiteral("Reset"));
    cmdClose = Named<QPushButton>("cmdClose", QStringLiteral("Close Form"));

    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(lblTime, 0, 0, 1, 8);
    int column = 0;
    for (QPushButton* button :
         {cmdDownloadBatch, cmdDownloadPicture, cmdPause, cmdContinueDownload, cmdCancel})
        grid->addWidget(button, 1, column++);
    grid->setColumnStretch(column++, 1);
    grid->addWidget(cmdReset, 1, column++);
    grid->addWidget(cmdClose, 1, column);
    connect(cmdDownloadBatch, &QPushButton::clicked, this, &frmBatchPicture::downloadBatch);
    connect(cmdDownloadPicture, &QPushButton::clicked, this,
            &frmBatchPicture::downloadSelectedPicture);
    connect(cmdPause, &QPushButton::clicked, this, &frmBatchPicture::pauseDownload);
    connect(cmdContinueDownload, &QPushButton::clicked, this, &frmBatchPicture::continueDownload);
    connect(cmdCancel, &QPushButton::clicked, this, &frmBatchPicture::cancelDownload);
    connect(cmdReset, &QPushButton::clicked, this, &frmBatchPicture::resetController);
    connect(cmdClose, &QPushButton::clicked, this, &frmBatchPicture::closeForm);
    return box;
}

bool frmBatchPicture::mayUnload() const
{
    // The run loop works on this screen; it goes only once nothing runs.
    return isIdle();
}

void frmBatchPicture::setAddressEntries(QComboBox* combo, const QStringList& addresses)
{
    const QSignalBlocker blocker(combo);
    static_cast<QStringListModel*>(combo->model())->setStringList(addresses);
}

bool frmBatchPicture::isIdle() const
{
    return !m_context.state.BusyFlag && !m_transferActive;
}

bool frmBatchPicture::hasFiles() const
{
    return !txtFilePath->text().isEmpty();
}

int frmBatchPicture::fileCount() const
{
    return int(m_context.state.BatchRecords.size()) - 1;
}

bool frmBatchPicture::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtOffsetAddress) {
        if (event->type() == QEvent::KeyPress)
            return handleOffsetKey(static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::MouseButtonPress)
            leaveOffsetMode();
        else if (event->type() == QEvent::FocusIn)
            QTimer::singleShot(0, txtOffsetAddress, &QLineEdit::selectAll);
    }
    for (QComboBox* combo : {cmbStartAddresses, cmbStopAddresses}) {
        if (watched == combo || watched == combo->lineEdit())
            return filterAddressComboEvent(combo, event);
    }
    return QWidget::eventFilter(watched, event);
}

bool frmBatchPicture::filterAddressComboEvent(QComboBox* combo, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        addressComboClicked();
    } else if (event->type() == QEvent::FocusOut && !m_validatingCombo && combo->count() > 0) {
        // Opening the combo's list or a message box is not leaving the combo.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            const bool valid =
                combo == cmbStartAddresses ? validateStartCombo() : validateStopCombo();
            if (!valid)
                QTimer::singleShot(0, combo, [combo] { combo->setFocus(); });
        }
    }
    return false;
}

// --- the link's view of the screen

// --- the run's view of the screen

void frmBatchPicture::setRowColour(int index, RowColour colour)
{
    m_files->setRowColour(index - 1, colour);
}

void frmBatchPicture::revealRow(int index)
{
    LsvManyFiles->scrollTo(m_files->index(index - 1, BatchFileModel::FileColumn));
}

// The file, and what sending it now would show on the switch.
void frmBatchPicture::previewFile(int index)
{
    AppState& state = m_context.state;
    ShowPicturePreview(state.PictureFolder + state.BatchRecords.value(index).Path, picHolder,
                       picHolderBorder);
    SilentPrompter quiet; // an unreadable file is reported when it is sent, not when it is shown
    picSwitchPreview->showData(state.TypeCode, BatchPictureBlock(state, index, quiet));
}

void frmBatchPicture::setTimeText(const QString& text)
{
    lblTime->setText(text);
}

bool frmBatchPicture::withTypeLetter() const
{
    return options()->switchIdentifier()->isChecked();
}

// --- folder scans

bool frmBatchPicture::keepScanning()
{
    letWindowRun();
    return !m_cancelImportFlag;
}

void frmBatchPicture::letWindowRun()
{
    if (m_pumpClock.isValid() && m_pumpClock.elapsed() < PumpEveryMs)
        return;
    m_context.link.pumpMessages();
    m_pumpClock.start();
}

void frmBatchPicture::showScanStatus(int panel, const QString& text)
{
    m_context.shell.setPanelText(panel, text);
}
