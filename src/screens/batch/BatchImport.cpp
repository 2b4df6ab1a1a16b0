// The batch picture screen's import and file list: choosing the switch type, reading a folder,
// the list with its ticks, check-mark commands and refresh.

#include "frmBatchPicture.h"

#include "AppState.h"
#include "BatchArithmetic.h"
#include "ButtonColour.h"
#include "ControllerLink.h"
#include "ControllerOptions.h"
#include "Conversions.h"
#include "ListSelection.h"
#include "PicturePreview.h"
#include "PortFrame.h"
#include "SwitchPreview.h"
#include "UiSeam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

namespace {

const QString ImportTitle = QStringLiteral("Import Batch Message");
// An import of at least this many files ends with a message, so the operator knows it is done.
constexpr int AnnouncedImportSize = 100;
// "Updating Form" changes every so many rows; four texts, zero to three dots.
constexpr int UpdatingEvery = 25;

QString folderOf(const QString& path)
{
    const qsizetype cut =
        qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.left(cut + 1);
}

} // namespace

void frmBatchPicture::onSwitchTypeChosen(int entry)
{
    AppState& state = m_context.state;
    if (state.BusyFlag) {
        SelectListEntrySilently(cmbSwitchType, m_screenTypeCode - 1);
        return;
    }
    clearFileView();
    txtFilePath->clear();
    m_screenTypeCode = qint16(entry + 1);
    state.TypeCode = m_screenTypeCode;
    leaveOffsetMode();
    txtOffsetAddress->clear();
    options()->leftToRight()->setVisible(AddressWidth(m_screenTypeCode) == 4);
    state.RequestedSpeed = portFrame()->speedText().toInt();
    cmdImportBatch->setFocus();
}

// Empties what the screen shows of a batch; the batch itself stays until the next import. An
// empty list has nothing left to refresh.
void frmBatchPicture::clearFileView()
{
    m_files->clear();
    SetButtonFace(cmdRefresh);
    setAddressEntries(cmbStartAddresses, {});
    setAddressEntries(cmbStopAddresses, {});
    m_startAddressText.clear();
    m_stopAddressText.clear();
    m_selectedIndex = 0;
    txtFirstFile->clear();
    txtFileSize->clear();
    txtMaxStartAddress->clear();
    picHolder->clear();
    picHolder->hide();
    picSwitchPreview->clear();
}

void frmBatchPicture::importBatch()
{
    AppState& state = m_context.state;
    if (!isIdle())
        return;
    const QString start =
        state.PictureFolder.isEmpty() ? m_context.programFolder : state.PictureFolder;
    const QString chosen = m_context.seam.openFileName(QStringLiteral("Import Batch"), start,
                                                       QStringLiteral("bmp files (*.bmp)|*.bmp"));
    if (chosen.isEmpty())
        return;
    m_context.shell.setBusyCursor(true);
    state.BusyFlag = true;
    m_cancelImportFlag = false;
    cmdCancelImport->show();
    cmdCancelImport->setEnabled(true);
    SetButtonColour(cmdCancelImport, Qt::white);
    cmdCancelImport->setFocus();
    for (int panel : {2, 3, 4, 5})
        m_context.shell.setPanelText(panel, QString());

    // Only the chosen file's folder matters.
    const QString folder = folderOf(chosen);
    clearFileView();
    txtFilePath->setText(folder);
    m_context.link.pumpMessages();
    m_context.shell.setPanelText(2, QStringLiteral("Importing Images..."));
    if (!CountMatchingFiles(folder, state.TypeCode, *this)) {
        endImportWithoutFiles();
        return;
    }
    state.PictureFolder = folder;
    TakeBatchFiles(state, CollectMatchingFiles(folder, state.TypeCode, *this),
                   [this] { letWindowRun(); });
    listImportedFiles();
    finishImport();
}

void frmBatchPicture::endImportWithoutFiles()
{
    AppState& state = m_context.state;
    m_context.shell.setPanelText(2, QStringLiteral("Import Canceled"));
    txtFilePath->clear();
    m_context.shell.setBusyCursor(false);
    state.BusyFlag = false;
    m_cancelImportFlag = false;
    cmdCancelImport->hide();
    cmdCancelImport->setEnabled(false);
    SetButtonFace(cmdCancelImport);
    m_context.seam.message(QStringLiteral("There are no files for this switch type in selected "
                                          "folder.\r\nPlease select a different switch type or a "
                                          "different folder."),
                           QStringLiteral("Load File Error"), MessageIcon::Information);
}

void frmBatchPicture::listImportedFiles()
{
    const AppState& state = m_context.state;
    const int count = fileCount();
    QList<BatchFileModel::Row> rows;
    rows.reserve(count);
    for (int i = 1; i <= count; ++i) {
        if (i % UpdatingEvery == 0) {
            const int dots = (i / UpdatingEvery - 1) % 4;
            m_context.shell.setPanelText(2, QStringLiteral("Updating Form") +
                                                QString(dots, QLatin1Char('.')));
        }
        AddFileListItem(rows, state.DefaultAddressList.at(i), state.BatchRecords.at(i).Path, true);
    }
    m_files->setRows(std::move(rows));
    fillAddressCombos();
    if (count == 0)
        return;
    previewFile(1);
    txtFirstFile->setText(state.BatchRecords.at(1).Path);
    txtFileSize->setText(QString::number(state.BatchRecords.at(1).FileLength));
    txtMaxStartAddress->setText(MaxStartAddressText(count, state.TypeCode));
}

// Both combos list the assigned addresses in file order; the whole block is chosen.
void frmBatchPicture::fillAddressCombos()
{
    const QStringList addresses = m_context.state.AssignedAddresses.mid(1);
    setAddressEntries(cmbStartAddresses, addresses);
    setAddressEntries(cmbStopAddresses, addresses);
    SelectListEntrySilently(cmbStartAddresses, 0);
    SelectListEntrySilently(cmbStopAddresses, cmbStopAddresses->count() - 1);
    m_startAddressText = cmbStartAddresses->currentText();
    m_stopAddressText = cmbStopAddresses->currentText();
}

void frmBatchPicture::finishImport()
{
    AppState& state = m_context.state;
    if (m_cancelImportFlag) {
        m_context.shell.setPanelText(2, QStringLiteral("Import Canceled"));
        // A cancel that came before any file was collected leaves no batch on the screen.
        if (fileCount() == 0)
            txtFilePath->clear();
        m_context.shell.setBusyCursor(false);
        SetButtonFace(cmdCancelImport);
        cmdImportBatch->setFocus();
        m_context.seam.message(QStringLiteral("Import Canceled"), ImportTitle,
                               MessageIcon::Information);
    } else {
        if (fileCount() >= AnnouncedImportSize)
            m_context.seam.message(QStringLiteral("Import Successful"), ImportTitle,
                                   MessageIcon::Information);
        m_context.shell.setPanelText(2, QStringLiteral("Import Successful"));
        cmdCancelImport->hide();
        cmdCancelImport->setEnabled(false);
        txtOffsetAddress->setFocus();
    }
    m_context.shell.setBusyCursor(false);
    state.BusyFlag = false;
    m_cancelImportFlag = false;
    SetButtonFace(cmdCancelImport);
}

void frmBatchPicture::cancelImport()
{
    if (!hasFiles()) {
        m_context.seam.message(QStringLiteral("No files to cancel."),
                               QStringLiteral("Cancel Import Message"), MessageIcon::Information);
        return;
    }
    m_cancelImportFlag = true;
}

void frmBatchPicture::checkMarks(BatchFileModel::CheckAction action, const QString& noFiles,
                                 const QString& title)
{
    if (!hasFiles()) {
        m_context.seam.message(noFiles, title, MessageIcon::Information);
        return;
    }
    if (m_context.state.BusyFlag || m_files->rowCount() == 0)
        return;
    m_files->checkAll(action);
    refreshOrAskForIt();
}

// Small lists follow a tick at once; a large one asks for one refresh after all the ticking.
void frmBatchPicture::refreshOrAskForIt()
{
    if (m_files->rowCount() < RefreshAtOnceBelow)
        RefreshFileList();
    else
        SetButtonColour(cmdRefresh, Qt::red);
}

void frmBatchPicture::onRowChecked(int row)
{
    if (m_context.state.BusyFlag)
        return;
    refreshOrAskForIt();
    LsvManyFiles->scrollTo(m_files->index(row, BatchFileModel::FileColumn));
}

void frmBatchPicture::onRowClicked(const QModelIndex& index)
{
    if (m_context.state.BusyFlag || !index.isValid())
        return;
    m_selectedIndex = index.row() + 1;
    previewFile(m_selectedIndex);
}

// The selected file is read again: it may have changed on disk, or "L to R" since.
void frmBatchPicture::previewSelectedRow()
{
    if (m_selectedIndex > 0 && m_selectedIndex <= fileCount())
        previewFile(m_selectedIndex);
}

void frmBatchPicture::refreshClicked()
{
    if (!hasFiles()) {
        m_context.seam.message(QStringLiteral("No files have been imported."),
                               QStringLiteral("Refresh File List Message"),
                               MessageIcon::Information);
        return;
    }
    if (m_context.state.BusyFlag)
        return;
    RefreshFileList();
    SetButtonFace(cmdRefresh);
}

void frmBatchPicture::RefreshFileList()
{
    AppState& state = m_context.state;
    m_context.shell.setBusyCursor(true);
    m_context.shell.setPanelText(2, QStringLiteral("Refreshing..."));
    const int count = qMin(fileCount(), m_files->rowCount());
    for (int i = 1; i <= count; ++i)
        state.CheckedFlags[i] = m_files->isChecked(i - 1);
    QList<BatchFileModel::Row> rows;
    rows.reserve(fileCount());
    for (int i = 1; i <= fileCount(); ++i)
        AddFileListItem(rows, state.AssignedAddresses.at(i), state.BatchRecords.at(i).Path,
                        state.CheckedFlags.at(i));
    m_files->setRows(std::move(rows));
    scrollAfterRefresh();
    previewSelectedRow();
    m_context.shell.setBusyCursor(false);
    m_context.shell.setPanelText(2, QStringLiteral("Refresh Complete"));
}

// The list shows the chosen start address with some rows after it, or the end of the list.
void frmBatchPicture::scrollAfterRefresh()
{
    constexpr int RowsAfterStart = 15;
    const int entries = cmbStartAddresses->count();
    const int start = cmbStartAddresses->currentIndex();
    const int row = entries - start > RowsAfterStart ? start + RowsAfterStart - 1 : entries - 1;
    if (row >= 0)
        LsvManyFiles->scrollTo(m_files->index(row, BatchFileModel::FileColumn));
}
