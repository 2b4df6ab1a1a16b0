// The attribute window's editing, saving and closing: the in-place row editor chained through the
// rows, the saved attribute file, and the question before unsaved changes are left.

#include "frmBatchAttributes.h"

#include "AppState.h"
#include "ControllerLink.h"
#include "ControllerOptions.h"
#include "SavedAttributes.h"
#include "UiSeam.h"
#include "frmSelectRow.h"

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QTreeView>

void frmBatchAttributes::EditCurrentRow()
{
    // A download sends what the rows held when it started; they are not edited under it.
    const QModelIndexList selected = LsvManyFiles->selectionModel()->selectedRows();
    if (selected.isEmpty() || m_context.state.BusyFlag)
        return;
    int row = selected.first().row() + 1;
    // Enter in every row walks through the whole table, from the last row on to the first.
    while (editRow(row)) {
        row = row % m_table->rowCount() + 1;
        selectRow(row);
    }
}

// One editing of `row`; true when the operator left it with Enter and the next row is due.
bool frmBatchAttributes::editRow(int row)
{
    clsLVInterface editor(m_typeCode, m_context.seam);
    const RowEdit edit = editor.SpawnVTip(LsvManyFiles, row, m_table->columnCount(), 0, 0);
    if (edit.cancelled)
        return false;
    m_attributesChanged = true;
    const QStringList cells = edit.values.mid(AttributeTableModel::FirstAttributeColumn);
    m_table->setCells(row - 1, cells);
    const AttributeTableModel::Row& edited = m_table->row(row - 1);
    BuildSavedLine(m_typeCode, edited.file, edited.address, cells,
                   m_context.state.BatchRecords[row]);
    return edit.advance && m_table->rowCount() > 1;
}

void frmBatchAttributes::selectRow(int row)
{
    const QModelIndex index = m_table->index(row - 1, AttributeTableModel::FileColumn);
    LsvManyFiles->setCurrentIndex(index);
    LsvManyFiles->scrollTo(index);
}

// Rewrites the whole file, changed or not. A failed save leaves the file as it was and the table
// still counting as changed, so closing asks again.
bool frmBatchAttributes::save()
{
    AppState& state = m_context.state;
    if (state.PictureFolder.isEmpty())
        return false;
    QStringList lines;
    lines.reserve(m_table->rowCount());
    for (int i = 1; i <= m_table->rowCount(); ++i) {
        const AttributeTableModel::Row& row = m_table->row(i - 1);
        lines << BuildSavedLine(m_typeCode, row.file, row.address, row.cells,
                                state.BatchRecords[i]);
    }
    m_context.shell.setBusyCursor(true);
    const bool saved = WriteSavedFile(savedFilePath(), lines);
    m_context.shell.setBusyCursor(false);
    m_attributesChanged = !saved;
    return saved;
}

bool frmBatchAttributes::mayClose()
{
    if (m_running)
        return false;
    if (m_attributesChanged) {
        const MessageAnswer answer = m_context.seam.message(
            QStringLiteral("Do you want to save switch attributes?"),
            QStringLiteral("Save Attributes?"), MessageIcon::Question, MessageButtons::YesNoCancel);
        if (answer == MessageAnswer::Cancel)
            return false;
        if (answer == MessageAnswer::Yes)
            save();
    }
    // The port stays open for the batch picture screen, which takes the link back.
    if (m_context.link.activeScreen() == this)
        m_context.link.setActiveScreen(nullptr);
    m_context.state.ControllerCheckFlag = options()->controller()->isChecked() ? 1 : 0;
    m_context.shell.setBusyCursor(false);
    return true;
}
