// The attribute window's downloads: the current row alone, or every row in order with retries,
// row colours, progress in the status bar and Cancel.

#include "frmBatchAttributes.h"

#include "AppState.h"
#include "ButtonColour.h"
#include "ControllerLink.h"
#include "ControllerMessages.h"
#include "ControllerOptions.h"
#include "SavedAttributes.h"
#include "SwitchCommands.h"
#include "UiSeam.h"

#include <QCheckBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTreeView>

namespace {
const QString Successful = QStringLiteral("Download successful.");
} // namespace

bool frmBatchAttributes::mayStartDownload()
{
    if (m_table->rowCount() == 0) {
        m_context.seam.message(QStringLiteral("No Attributes to download."),
                               QStringLiteral("Download Picture Message"),
                               MessageIcon::Information);
        return false;
    }
    return !m_context.state.BusyFlag && ConfirmAttributeType(m_context.state, m_context.seam);
}

void frmBatchAttributes::beginDownload()
{
    AppState& state = m_context.state;
    state.BusyFlag = true;
    m_context.shell.setBusyCursor(true);
    state.CancelFlag = false;
    SetButtonColour(cmdCancel, Qt::white);
    cmdCancel->setFocus();
    m_context.shell.setPanelText(2, QString());
    m_context.shell.setPanelText(5, QString());
    m_context.shell.setPanelText(4, QStringLiteral("0 downloaded attributes"));
}

void frmBatchAttributes::endDownload(bool beep)
{
    AppState& state = m_context.state;
    setPortStatus(m_context.link.openStatusText());
    if (beep)
        m_context.shell.beep();
    cmdDownloadAttributes->setFocus();
    m_context.shell.setBusyCursor(false);
    SetButtonFace(cmdCancel);
    state.CancelFlag = false;
    state.BusyFlag = false;
}

// The row goes without waiting for the controller's answer, which shows in the traffic log.
void frmBatchAttributes::downloadSelected()
{
    if (!mayStartDownload())
        return;
    beginDownload();
    m_context.link.SendBytes(carryRow(m_currentRow).command);
    if (m_context.state.CancelFlag)
        m_context.shell.setPanelText(2, QStringLiteral("Download Canceled"));
    else
        m_context.seam.message(Successful, QStringLiteral("Download Selected Attribute Message"),
                               MessageIcon::Information);
    endDownload(false);
}

void frmBatchAttributes::downloadBatch()
{
    if (!mayStartDownload())
        return;
    m_context.link.pumpMessages();
    beginDownload();
    m_table->setAllColours(RowColour::Black);
    QList<AttributeJob> jobs;
    jobs.reserve(m_table->rowCount());
    for (int row = 1; row <= m_table->rowCount(); ++row)
        jobs << carryRow(row);
    {
        const QScopedValueRollback running(m_running, true);
        m_run.DownloadRows(jobs);
    }
    // Cancelled, or a row failed for good (its message already shown).
    if (m_context.state.CancelFlag)
        m_context.shell.setPanelText(2, QStringLiteral("Download Canceled"));
    else
        m_context.seam.message(Successful, QStringLiteral("Download Batch Attributes Message"),
                               MessageIcon::Information);
    endDownload(true);
}

// Takes the row into its record as the download sends it, and composes its command.
AttributeJob frmBatchAttributes::carryRow(int row)
{
    AppState& state = m_context.state;
    const AttributeTableModel::Row& cells = m_table->row(row - 1);
    CarryRowIntoRecord(m_typeCode, m_switches, cells.cells, state.BatchRecords[row]);
    return {cells.file, cells.address,
            BuildAttributeCommand(options()->switchIdentifier()->isChecked(), state.TypeCode,
                                  state.BatchRecords, cells.address, row)};
}

void frmBatchAttributes::showRowState(int row, AttributeRowState state)
{
    static constexpr RowColour Colours[] = {RowColour::Black,  RowColour::Blue,  RowColour::Magenta,
                                            RowColour::Yellow, RowColour::Green, RowColour::Cyan,
                                            RowColour::Red};
    m_table->setRowColour(row - 1, Colours[int(state)]);
}

void frmBatchAttributes::revealRow(int row)
{
    LsvManyFiles->scrollTo(m_table->index(row - 1, AttributeTableModel::FileColumn));
}
