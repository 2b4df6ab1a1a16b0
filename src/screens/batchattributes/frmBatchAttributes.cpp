#include "frmBatchAttributes.h"

#include "AppState.h"
#include "ControllerLink.h"
#include "ControllerOptions.h"
#include "Named.h"
#include "PicturePreview.h"
#include "PortFrame.h"
#include "ProtectedField.h"
#include "SavedAttributes.h"
#include "TrafficLogView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTreeView>

namespace {
// The traffic log of this window keeps this many lines; a long run cannot fill the memory.
constexpr int MaxTrafficLines = 700;
} // namespace

frmBatchAttributes::frmBatchAttributes(ScreenContext& context, const QString& portStatus,
                                       QWidget* parent)
    : ControllerScreen(context, context.state.TypeCode, TrafficLogPanel::Entry::None, parent)
    , m_run(context.link, *this)
    , m_handedOverPortStatus(portStatus)
    , m_typeCode(context.state.TypeCode)
{
    setObjectName(QStringLiteral("frmBatchAttributes"));
    setWindowTitle(QStringLiteral("Batch Attributes Download"));
    setStartAddress(context.state.CurrentAddress);

    auto* left = new QVBoxLayout;
    left->addWidget(buildTypeRow());
    left->addWidget(buildTable(), 1);
    left->addWidget(buildButtons());
    // The window is a desktop window of its own: what a small desktop cannot hold scrolls, so no
    // caption is ever cut.
    auto* content = new QWidget;
    auto* layout = new QHBoxLayout(content);
    layout->addLayout(left, 1);
    layout->addWidget(buildSide());
    m_scroll = new QScrollArea;
    m_scroll->setWidget(content);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_scroll);
    load();
}

frmBatchAttributes::~frmBatchAttributes() = default;

QWidget* frmBatchAttributes::buildTypeRow()
{
    auto* box = new QWidget;
    txtSwitchType = Named<QLineEdit>("txtSwitchType");
    ProtectField(txtSwitchType);
    txtSwitchType->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("COLOR 96x64")) +
                                   16);
    lblNumSwitches = Named<QLabel>("lblNumSwitches", QStringLiteral("Number of Switches:"));
    cmbNumbofSwchs = Named<QComboBox>("cmbNumbofSwchs");
    for (int switches : SwitchChoices)
        cmbNumbofSwchs->addItem(QString::number(switches));
    lblLEDinfo =
        Named<QLabel>("lblLEDinfo", QStringLiteral("LED data will be sent with image data"));
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("Switch Type:")));
    row->addWidget(txtSwitchType);
    row->addSpacing(12);
    row->addWidget(lblNumSwitches);
    row->addWidget(cmbNumbofSwchs);
    row->addSpacing(12);
    row->addWidget(lblLEDinfo);
    row->addStretch();
    connect(cmbNumbofSwchs, &QComboBox::activated, this,
            [this] { applySwitchCount(cmbNumbofSwchs->currentText().toInt()); });
    return box;
}

QWidget* frmBatchAttributes::buildTable()
{
    m_table = new AttributeTableModel(this);
    LsvManyFiles = Named<QTreeView>("LsvManyFiles");
    LsvManyFiles->setModel(m_table);
    LsvManyFiles->setRootIsDecorated(false);
    LsvManyFiles->setUniformRowHeights(true);
    LsvManyFiles->setAllColumnsShowFocus(true);
    LsvManyFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    LsvManyFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    LsvManyFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LsvManyFiles->header()->setSectionsMovable(false);
    LsvManyFiles->header()->setStretchLastSection(false);
    connect(LsvManyFiles, &QTreeView::clicked, this, &frmBatchAttributes::onRowClicked);
    connect(LsvManyFiles, &QTreeView::doubleClicked, this, [this] { EditCurrentRow(); });
    return LsvManyFiles;
}

QWidget* frmBatchAttributes::buildButtons()
{
    auto* box = new QWidget;
    cmdEdit = Named<QPushButton>("cmdEdit", QStringLiteral("Edit"));
    cmdSave = Named<QPushButton>("cmdSave", QStringLiteral("Save Attributes"));
    cmdDownloadAttribute = Named<QPushButton>("cmdDownloadAttribute",
                                              QStringLiteral("Download Selected Image Attributes"));
    cmdDownloadAttributes =
        Named<QPushButton>("cmdDownloadAttributes", QStringLiteral("Download Batch Attributes"));
    cmdCancel = Named<QPushButton>("cmdCancel", QStringLiteral("Cancel Download"));
    cmdReset = Named<QPushButton>("cmdReset", QStringLiteral("Reset"));
    cmdClose = Named<QPushButton>("cmdClose", QStringLiteral("Close Form"));
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(cmdEdit, 0, 0);
    grid->addWidget(cmdSave, 0, 1);
    grid->addWidget(cmdReset, 0, 3);
    grid->addWidget(cmdClose, 0, 4);
    grid->addWidget(cmdDownloadAttribute, 1, 0, 1, 2);
    grid->addWidget(cmdDownloadAttributes, 1, 2);
    grid->addWidget(cmdCancel, 1, 3, 1, 2);
    connect(cmdEdit, &QPushButton::clicked, this, [this] { EditCurrentRow(); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { save(); });
    connect(cmdDownloadAttribute, &QPushButton::clicked, this,
            &frmBatchAttributes::downloadSelected);
    connect(cmdDownloadAttributes, &QPushButton::clicked, this, &frmBatchAttributes::downloadBatch);
    connect(cmdCancel, &QPushButton::clicked, this, [this] { m_context.link.requestCancel(); });
    connect(cmdReset, &QPushButton::clicked, this, [this] {
        // The reset byte would land in the middle of the records being sent.
        if (m_running)
            return;
        m_context.link.SendHexCommand(QStringLiteral("24"));
        cmdDownloadAttributes->setFocus();
    });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    return box;
}

QWidget* frmBatchAttributes::buildSide()
{
    auto* box = new QWidget;
    picHolderBorder = Named<QFrame>("picHolderBorder");
    picHolderBorder->setFrameStyle(QFrame::Box | QFrame::Plain);
    picHolderBorder->setFixedSize(204, 140);
    picHolder = Named<QLabel>("picHolder", picHolderBorder);
    picHolder->hide();
    auto* controller = new QGroupBox(QStringLiteral("Controller"));
    auto* column = new QVBoxLayout(controller);
    column->addWidget(options());
    // Mirroring belongs to pictures; attribute records have none.
    options()->leftToRight()->hide();
    TrafficLogPanel* panel = trafficPanel();
    panel->log()->setMaximumBlockCount(MaxTrafficLines);
    connect(panel, &TrafficLogPanel::cleared, this, [this] { cmdDownloadAttributes->setFocus(); });

    auto* side = new QVBoxLayout(box);
    side->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    top->addWidget(picHolderBorder);
    top->addWidget(controller);
    side->addLayout(top);
    side->addWidget(portFrame());
    side->addWidget(panel, 1);
    box->setMaximumWidth(qMax(420, portFrame()->sizeHint().width()));
    return box;
}

void frmBatchAttributes::load()
{
    AppState& state = m_context.state;
    txtSwitchType->setText(SwitchTypeText(m_typeCode));
    lblLEDinfo->setVisible(m_typeCode == SwitchTypeCode::Lcd36x24);
    lblNumSwitches->setVisible(IsLcdType(m_typeCode));
    cmbNumbofSwchs->setVisible(IsLcdType(m_typeCode));

    const QList<AttributeColumn>& columns = AttributeColumns(m_typeCode);
    QStringList headers;
    int cellWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000"));
    for (const AttributeColumn& column : columns) {
        headers << column.header;
        cellWidth = qMax(cellWidth, fontMetrics().horizontalAdvance(column.header));
    }
    m_table->setAttributeHeaders(headers);
    QHeaderView* header = LsvManyFiles->header();
    header->setMinimumSectionSize(0);
    header->resizeSection(AttributeTableModel::FileColumn,
                          fontMetrics().horizontalAdvance(QStringLiteral("LCD 64x32 Speaker.bmp")) +
                              40);
    header->resizeSection(AttributeTableModel::AddressColumn,
                          fontMetrics().horizontalAdvance(QStringLiteral("Address")) + 20);
    for (int c = 0; c < columns.size(); ++c) {
        const int section = AttributeTableModel::FirstAttributeColumn + c;
        header->resizeSection(section, cellWidth + 16);
        LsvManyFiles->setColumnHidden(section, columns.at(c).hiddenAtLoad);
    }

    const int count = int(state.BatchRecords.size()) - 1;
    if (count > 0) {
        ApplySavedLines(ReadSavedLines(savedFilePath(), count), state.BatchRecords);
        QList<AttributeTableModel::Row> rows;
        rows.reserve(count);
        for (int i = 1; i <= count; ++i) {
            PictureFileRecord& record = state.BatchRecords[i];
            rows.append({record.Path, state.AssignedAddresses.value(i), true,
                         FillAttributeCells(m_typeCode, record), RowColour::Black});
        }
        m_table->setRows(std::move(rows));
        selectRow(1);
        showRowPicture(1);
        m_currentRow = 1;
    }
    m_attributesChanged = false;
    fitTableWidth();
}

void frmBatchAttributes::applySwitchCount(int switches)
{
    const int visible = VisibleLcdCells(switches);
    if (!IsLcdType(m_typeCode) || visible == 0)
        return;
    m_switches = switches;
    const QList<AttributeColumn>& columns = AttributeColumns(m_typeCode);
    QStringList headers = LcdHeaders(switches);
    headers << columns.at(16).header << columns.at(17).header;
    m_table->setAttributeHeaders(headers);
    for (int c = 0; c < 16; ++c)
        LsvManyFiles->setColumnHidden(AttributeTableModel::FirstAttributeColumn + c, c >= visible);
    fitTableWidth();
}

// The table is as wide as its visible columns, so no attribute needs scrolling to; the window
// grows with it.
void frmBatchAttributes::fitTableWidth()
{
    const QHeaderView* header = LsvManyFiles->header();
    int width = 0;
    for (int section = 0; section < header->count(); ++section) {
        if (!header->isSectionHidden(section))
            width += header->sectionSize(section);
    }
    LsvManyFiles->setMinimumWidth(width + 2 * LsvManyFiles->frameWidth() +
                                  LsvManyFiles->verticalScrollBar()->sizeHint().width());
    if (isWindow())
        fitToDesktop();
}

// As large as the content asks for, up to the desktop's work area, and inside it.
void frmBatchAttributes::fitToDesktop()
{
    ensurePolished(); // the fonts and styles the content's size depends on
    const QRect workArea = screen()->availableGeometry();
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize scrollBars(m_scroll->verticalScrollBar()->sizeHint().width(),
                           m_scroll->horizontalScrollBar()->sizeHint().height());
    const QSize wanted = m_scroll->widget()->sizeHint() + scrollBars;
    resize(wanted.boundedTo(workArea.size() - frame));
    QRect placed = frameGeometry();
    placed.moveLeft(qBound(workArea.left(), placed.left(), workArea.right() - placed.width() + 1));
    placed.moveTop(qBound(workArea.top(), placed.top(), workArea.bottom() - placed.height() + 1));
    move(placed.topLeft());
}

void frmBatchAttributes::onRowClicked(const QModelIndex& index)
{
    if (m_context.state.BusyFlag || !index.isValid())
        return;
    m_currentRow = index.row() + 1;
    showRowPicture(m_currentRow);
    LsvManyFiles->scrollTo(index);
}

void frmBatchAttributes::showRowPicture(int row)
{
    ShowPicturePreview(m_context.state.PictureFolder + m_table->row(row - 1).file, picHolder,
                       picHolderBorder);
}

QString frmBatchAttributes::savedFilePath() const
{
    return m_context.state.PictureFolder + SavedAttributeFileName(m_typeCode);
}

void frmBatchAttributes::open()
{
    setWindowFlag(Qt::Window);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    show();
    activate();
    // After activation: the port frame then names the device, which widens it.
    fitToDesktop();
}

void frmBatchAttributes::screenActivated()
{
    setPortStatus(m_handedOverPortStatus);
}

bool frmBatchAttributes::mayUnload() const
{
    return !m_running;
}

bool frmBatchAttributes::event(QEvent* event)
{
    if (event->type() != QEvent::Close)
        return ControllerScreen::event(event);
    if (!mayClose()) {
        event->ignore();
        return true;
    }
    const bool handled = ControllerScreen::event(event);
    if (event->isAccepted())
        Q_EMIT closed();
    return handled;
}
