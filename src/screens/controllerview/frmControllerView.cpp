#include "frmControllerView.h"

#include "AddressDelegate.h"
#include "AppState.h"
#include "ControllerLink.h"
#include "ControllerOperations.h"
#include "ControllerViewModel.h"
#include "Conversions.h"
#include "Decoders.h"
#include "Named.h"
#include "ScreenContext.h"
#include "UiSeam.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString SheetTitle = QStringLiteral("Save Contact Sheet");
const QString UploadTitle = QStringLiteral("Upload Address");
// Cells to a line of the contact sheet: eight cells fit a printed page across.
constexpr int SheetColumns = 8;
// The grid opens showing this many cells across and down.
constexpr int GridColumns = 4;
constexpr int GridLines = 2;

QString OutcomeWords(ReplyOutcome outcome)
{
    switch (outcome) {
    case ReplyOutcome::Done:
        return QStringLiteral("the controller answered");
    case ReplyOutcome::Refused:
        return QStringLiteral("the controller holds no picture there");
    case ReplyOutcome::NoReply:
    case ReplyOutcome::Unexpected:
        return QStringLiteral("the controller's answer did not end as expected");
    case ReplyOutcome::LineBlocked:
        return QStringLiteral("the line was blocked");
    case ReplyOutcome::NotReady:
        break;
    }
    return QStringLiteral("the controller did not answer");
}

} // namespace

QListView* MakeAddressGrid(ControllerViewModel& model, QWidget* parent)
{
    auto* grid = Named<QListView>("lstAddresses", parent);
    grid->setViewMode(QListView::IconMode);
    grid->setResizeMode(QListView::Adjust);
    grid->setMovement(QListView::Static);
    grid->setUniformItemSizes(true); // 65,535 cells are laid out without asking each one
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setItemDelegate(new AddressDelegate(grid));
    grid->setModel(&model);
    // Room for a few cells whole, with the scroll bar and the spacing between them.
    const QSize cell = AddressDelegate::cellSize(grid->fontMetrics());
    const int extra =
        grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4 * grid->frameWidth();
    grid->setMinimumSize(GridColumns * cell.width() + extra, GridLines * cell.height() + extra);
    return grid;
}

frmControllerView::frmControllerView(ScreenContext& context, QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_model(*context.controllerView)
{
    setObjectName(QStringLiteral("frmControllerView"));
    setWindowTitle(QStringLiteral("Controller View"));
    lstAddresses = MakeAddressGrid(m_model, this);
    m_delegate = static_cast<AddressDelegate*>(lstAddresses->itemDelegate());
    lblAddressCount = Named<QLabel>("lblAddressCount");
    cmdSaveContactSheet = Named<QPushButton>("cmdSaveContactSheet", SheetTitle);

    auto* top = new QHBoxLayout;
    top->addWidget(lblAddressCount, 1);
    top->addWidget(cmdSaveContactSheet);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lstAddresses, 1);

    connect(lstAddresses, &QListView::doubleClicked, this, &frmControllerView::uploadAddress);
    connect(cmdSaveContactSheet, &QPushButton::clicked, this, &frmControllerView::saveContactSheet);
    connect(&m_model, &QAbstractItemModel::rowsInserted, this, &frmControllerView::showCount);
    connect(&m_model, &QAbstractItemModel::modelReset, this, &frmControllerView::showCount);
    showCount();
}

void frmControllerView::showCount()
{
    const int count = m_model.rowCount();
    const QString known = m_context.controllerMemory
                              ? QStringLiteral("in the built-in controller's memory")
                              : QStringLiteral("sent to since the program started");
    lblAddressCount->setText(
        QStringLiteral("%1 address%2 %3").arg(count).arg(count == 1 ? "" : "es", known));
}

void frmControllerView::uploadAddress(const QModelIndex& index)
{
    AppState& state = m_context.state;
    ControllerLink& link = m_context.link;
    const QString address = index.data(ControllerViewModel::AddressRole).toString();
    if (state.BusyFlag) {
        m_context.seam.message(
            QStringLiteral("The controller is busy.\r\nUpload address %1 when it has finished.")
                .arg(address),
            UploadTitle, MessageIcon::Information);
        return;
    }
    if (!link.isPortOpen()) {
        m_context.seam.message(
            QStringLiteral("No port is open.\r\nOpen the controller's port on a picture screen."),
            UploadTitle, MessageIcon::Exclamation);
        return;
    }
    state.BusyFlag = true;
    m_context.shell.setBusyCursor(true);
    const UploadResult result = UploadSwitchData(link, address);
    m_context.shell.setBusyCursor(false);
    state.BusyFlag = false;
    state.CancelFlag = false;
    const QByteArray uploaded =
        HexToBytes(LeadingHexDigits(QString::fromLatin1(result.data)).toString());
    if (result.outcome != ReplyOutcome::Done || uploaded.isEmpty()) {
        m_context.seam.message(QStringLiteral("Address %1 could not be uploaded: %2.")
                                   .arg(address, OutcomeWords(result.outcome)),
                               UploadTitle, MessageIcon::Exclamation);
        return;
    }
    const bool same = uploaded == index.data(ControllerViewModel::PayloadRole).toByteArray();
    m_model.recordUpload(index, uploaded);
    m_context.shell.setPanelText(
        2, same ? QStringLiteral("Address %1 holds the picture shown").arg(address)
                : QStringLiteral("Address %1 holds a different picture: now shown").arg(address));
}

void frmControllerView::saveContactSheet()
{
    if (m_model.rowCount() == 0) {
        m_context.seam.message(QStringLiteral("No address holds a picture yet."), SheetTitle,
                               MessageIcon::Information);
        return;
    }
    QString path = m_context.seam.saveFileName(SheetTitle, m_context.programFolder,
                                               QStringLiteral("PNG files (*.png)|*.png"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    const QImage sheet = ContactSheet(m_model, *m_delegate, SheetColumns, font());
    if (!sheet.save(path, "PNG")) {
        m_context.seam.message(
            QStringLiteral("The contact sheet could not be saved to %1.").arg(path), SheetTitle,
            MessageIcon::Exclamation);
    }
}
