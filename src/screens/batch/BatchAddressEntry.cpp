// The batch picture screen's address block: a start address or a decimal offset for the whole
// block, reversing it, ticking a start-to-stop range, and the controller's reset.

#include "frmBatchPicture.h"

#include "AppState.h"
#include "BatchArithmetic.h"
#include "ControllerLink.h"
#include "Conversions.h"
#include "ListSelection.h"
#include "UiSeam.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

#include <algorithm>

namespace {

const QString NoFiles = QStringLiteral("No files have been imported.");
const QString SelectAddressTitle = QStringLiteral("Select Address Message");
// A "+" makes room for a decimal offset: two more characters than a hex address.
constexpr int OffsetExtraLength = 2;

} // namespace

// "+" switches the box to a decimal offset, Enter applies the entry, and erasing the "+" goes
// back to a hex start address.
bool frmBatchPicture::handleOffsetKey(QKeyEvent* event)
{
    const int width = AddressWidth(m_screenTypeCode);
    switch (event->key()) {
    case Qt::Key_Plus:
        txtOffsetAddress->setMaxLength(width + OffsetExtraLength);
        m_offsetModeFlag = true;
        return false;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        offsetAddresses();
        return true;
    case Qt::Key_Backspace: {
        const QString text = txtOffsetAddress->text();
        const bool erasesPlus =
            text == QLatin1String("+") ||
            (m_offsetModeFlag && text.size() > 1 && txtOffsetAddress->selectedText() == text);
        if (!erasesPlus)
            return false;
        // The key is handled before the limit shrinks, which would otherwise cut the text.
        static_cast<QObject*>(txtOffsetAddress)->event(event);
        txtOffsetAddress->setMaxLength(width);
        m_offsetModeFlag = false;
        return true;
    }
    default:
        return false;
    }
}

void frmBatchPicture::leaveOffsetMode()
{
    m_offsetModeFlag = false;
    txtOffsetAddress->setMaxLength(AddressWidth(m_screenTypeCode));
}

// The offset to add to the default addresses 1..N; 0 after telling the operator why the entry
// cannot be used.
qint64 frmBatchPicture::ValidateAddressOffset()
{
    const QString padded = PadOffsetEntry(txtOffsetAddress->text(), m_screenTypeCode);
    if (padded != txtOffsetAddress->text())
        txtOffsetAddress->setText(padded);
    const OffsetVerdict verdict =
        CheckAddressOffset(padded, m_offsetModeFlag, fileCount(), m_screenTypeCode);
    if (verdict.message.isEmpty())
        return verdict.offset;
    m_context.seam.message(verdict.message, QStringLiteral("Address Offset"),
                           MessageIcon::Information);
    m_context.shell.setBusyCursor(false);
    txtOffsetAddress->setFocus();
    return 0;
}

void frmBatchPicture::offsetAddresses()
{
    if (!hasFiles()) {
        m_context.seam.message(NoFiles, QStringLiteral("Offset Address Message"),
                               MessageIcon::Information);
        return;
    }
    if (m_context.state.BusyFlag || txtOffsetAddress->text().isEmpty())
        return;
    // A refused entry puts the block back on the default addresses.
    const qint64 offset = ValidateAddressOffset();
    m_context.shell.setBusyCursor(true);
    m_context.shell.setPanelText(2, QStringLiteral("Offseting Addresses..."));
    m_context.state.AssignedAddresses = OffsetAddressList(fileCount(), m_screenTypeCode, offset);
    rebuildAddressBlock();
    const QString first = m_context.state.AssignedAddresses.value(1).toUpper();
    txtOffsetAddress->setText(first);
    txtOffsetAddress->setCursorPosition(int(first.size()));
    m_offsetModeFlag = false;
    m_context.shell.setBusyCursor(false);
    m_context.shell.setPanelText(2, QStringLiteral("Addresses Offset..."));
    txtOffsetAddress->setFocus();
}

void frmBatchPicture::reverseAddresses()
{
    if (!hasFiles()) {
        m_context.seam.message(NoFiles, QStringLiteral("Reversing Addresses Message"),
                               MessageIcon::Information);
        return;
    }
    if (m_context.state.BusyFlag)
        return;
    m_context.shell.setBusyCursor(true);
    m_context.shell.setPanelText(2, QStringLiteral("Reversing Addresses..."));
    QStringList& addresses = m_context.state.AssignedAddresses;
    std::reverse(addresses.begin() + 1, addresses.end());
    rebuildAddressBlock();
    m_context.shell.setBusyCursor(false);
    m_context.shell.setPanelText(2, QStringLiteral("Addresses Reversed..."));
}

// Rows and combos from the assigned addresses, every row ticked. The batch's own ticks stay as
// they are until the next refresh.
void frmBatchPicture::rebuildAddressBlock()
{
    const AppState& state = m_context.state;
    QList<BatchFileModel::Row> rows;
    rows.reserve(fileCount());
    for (int i = 1; i <= fileCount(); ++i)
        AddFileListItem(rows, state.AssignedAddresses.at(i), state.BatchRecords.at(i).Path, true);
    m_files->setRows(std::move(rows));
    fillAddressCombos();
}

void frmBatchPicture::addressComboClicked()
{
    if (!hasFiles())
        m_context.seam.message(NoFiles, SelectAddressTitle, MessageIcon::Information);
}

// Pads what was typed to the width of the listed addresses and selects the entry it names.
bool frmBatchPicture::lookUpTypedAddress(QComboBox* combo)
{
    const int width = int(combo->itemText(0).size());
    QString text = combo->currentText();
    if (width == 4 || width == 2)
        text = PadAddress(text, width);
    text = text.toUpper();
    combo->setEditText(text);
    const int entry = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (entry < 0)
        return false;
    SelectListEntrySilently(combo, entry);
    return true;
}

bool frmBatchPicture::validateStartCombo()
{
    const QScopedValueRollback guard(m_validatingCombo, true);
    if (!lookUpTypedAddress(cmbStartAddresses)) {
        m_context.seam.message(QStringLiteral("Invalid Start Address"),
                               QStringLiteral("Start Address Message"), MessageIcon::Exclamation);
        return false;
    }
    m_startAddressText = cmbStartAddresses->currentText();
    m_stopAddressText = cmbStopAddresses->currentText();
    rebuildStopList(cmbStartAddresses->currentIndex());
    return true;
}

// The stop list holds the chosen start and everything after it; the stop address stays chosen
// while it is still listed.
void frmBatchPicture::rebuildStopList(int startEntry)
{
    const int stopEntry = cmbStopAddresses->currentIndex();
    const int before = cmbStopAddresses->count();
    setAddressEntries(cmbStopAddresses, m_context.state.AssignedAddresses.mid(startEntry + 1));
    const int after = cmbStopAddresses->count();
    SelectListEntrySilently(cmbStopAddresses,
                            stopEntry >= startEntry ? stopEntry - (before - after) : after - 1);
}

bool frmBatchPicture::validateStopCombo()
{
    const QScopedValueRollback guard(m_validatingCombo, true);
    if (!lookUpTypedAddress(cmbStopAddresses)) {
        m_context.seam.message(QStringLiteral("Invalid Stop Address"),
                               QStringLiteral("Stop Address Message"), MessageIcon::Exclamation);
        return false;
    }
    m_startAddressText = cmbStartAddresses->currentText();
    m_stopAddressText = cmbStopAddresses->currentText();
    return true;
}

// "Start / Stop": ticks exactly the files from the start address to the stop address.
void frmBatchPicture::tickStartToStop()
{
    const QString refusal =
        !hasFiles()                    ? NoFiles
        : m_startAddressText.isEmpty() ? QStringLiteral("No Start Address has been selected.")
        : m_stopAddressText.isEmpty()  ? QStringLiteral("No Stop Address has been selected.")
                                       : QString();
    if (!refusal.isEmpty()) {
        m_context.seam.message(refusal, SelectAddressTitle, MessageIcon::Information);
        return;
    }
    if (m_context.state.BusyFlag || m_files->rowCount() == 0)
        return;
    m_context.shell.setBusyCursor(true);
    m_context.shell.setPanelText(2, QStringLiteral("Updating Addresses..."));
    m_files->checkAll(BatchFileModel::CheckAction::None);
    // The stop list begins at the start address, so its entry counts from the start.
    const int start = cmbStartAddresses->currentIndex();
    const int stop = cmbStopAddresses->currentIndex();
    for (int row = start; row <= start + stop && row < m_files->rowCount(); ++row)
        m_files->setChecked(row, true);
    RefreshFileList();
    m_context.shell.setBusyCursor(false);
    m_context.shell.setPanelText(2, QStringLiteral("Addresses Updated"));
}

void frmBatchPicture::resetController()
{
    // The reset byte would land in the middle of a picture being sent.
    if (!isIdle())
        return;
    m_context.link.SendHexCommand(QStringLiteral("24"));
    cmdDownloadBatch->setFocus();
}
