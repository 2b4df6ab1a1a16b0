// The batch picture screen's downloads: the batch run with Pause, Continue and Cancel, the end of
// a run, one selected picture, and closing the screen.

#include "frmBatchPicture.h"

#include "AppState.h"
#include "BatchArithmetic.h"
#include "ButtonColour.h"
#include "ControllerLink.h"
#include "ControllerMessages.h"
#include "ControllerOperations.h"
#include "ControllerOptions.h"
#include "PortFrame.h"
#include "SwitchCommands.h"
#include "TrafficLogView.h"
#include "UiSeam.h"
#include "frmBatchAttributes.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

namespace {
const QString DownloadTitle = QStringLiteral("Download Picture Message");
const QString PauseCaption = QStringLiteral("Pause  Download");
const QString CancelCaption = QStringLiteral("Cancel Download");
// Written into the batch folder at the end of every run, so the operator can see afterwards
// which pictures went where; a .csv name is never taken into a batch.
const QString ReportName = QStringLiteral("Batch Report.csv");
} // namespace

// Downloads and attribute editing work on the batch as the list shows it, so a refresh that is
// due comes first.
bool frmBatchPicture::refreshIsDue(const QString& title)
{
    if (!HasButtonColour(cmdRefresh, Qt::red))
        return false;
    m_context.seam.message(QStringLiteral("Press refresh button first."), title,
                           MessageIcon::Information);
    return true;
}

void frmBatchPicture::downloadBatch()
{
    AppState& state = m_context.state;
    if (!hasFiles()) {
        m_context.seam.message(QStringLiteral("No files to download."), DownloadTitle,
                               MessageIcon::Information);
        return;
    }
    if (!isIdle() || refreshIsDue(DownloadTitle) || !ConfirmPictureType(state, m_context.seam))
        return;
    state.ReplyCode.clear();
    state.BusyFlag = true;
    portFrame()->setEnabled(false);
    m_context.shell.setBusyCursor(true);
    state.CancelFlag = false;
    state.StopTransferFlag = false;
    cmdCancel->setFocus();
    SetButtonColour(cmdPause, Qt::white);
    SetButtonColour(cmdCancel, Qt::white);
    m_selectedIndex = 0;
    lblTime->setText(IdleTimeLabelText);
    m_files->setAllColours(RowColour::Black);
    m_context.shell.setPanelText(2, QString());
    m_context.shell.setPanelText(5, QString());
    m_context.shell.setPanelText(4, DownloadedFilesText(0));
    m_run.begin();
    runFrom(1);
}

void frmBatchPicture::runFrom(int first)
{
    {
        const QScopedValueRollback active(m_transferActive, true);
        m_run.RunBatch(first, fileCount());
    }
    FinishBatch();
}

void frmBatchPicture::FinishBatch()
{
    AppState& state = m_context.state;
    m_context.shell.beep();
    if (!m_pausedFlag)
        reportRun();
    if (state.CancelFlag) {
        if (m_pausedFlag) {
            cmdPause->hide();
            cmdContinueDownload->show();
        } else {
            m_run.forgetCurrent();
            m_context.shell.setPanelText(2, QStringLiteral("Download Canceled"));
            showIdleButtons();
        }
    } else {
        m_run.forgetCurrent();
        state.BusyFlag = false;
        if (m_run.downloadedCount() > 0 &&
            m_context.seam.message(
                QStringLiteral("Download successful.\r\nDo you want to refresh controller?"),
                QStringLiteral("Download Batch Message"), MessageIcon::Question,
                MessageButtons::YesNo) == MessageAnswer::Yes) {
            // The refresh byte is always shown in the log.
            appendTraffic(QStringLiteral("\r\n"), TrafficDirection::Sent);
            const int savedDisplayData = displayData();
            setDisplayData(1);
            m_context.link.SendBytes(QByteArrayLiteral("$"));
            setDisplayData(savedDisplayData);
        }
        appendTraffic(QStringLiteral("\r\n"), TrafficDirection::Sent);
        showIdleButtons();
    }
    cmdDownloadBatch->setFocus();
    m_context.shell.setBusyCursor(false);
    portFrame()->setEnabled(true);
    cmdPause->setText(PauseCaption);
    cmdCancel->setText(CancelCaption);
}

// The run's report in the batch folder and its counts in status panel 5.
void frmBatchPicture::reportRun()
{
    const BatchResults& results = m_run.results();
    m_context.shell.setPanelText(5, BatchSummaryText(SummariseBatch(results, m_run.elapsedMs())));
    const QString problem = WriteBatchReport(m_context.state.PictureFolder + ReportName, results);
    if (!problem.isEmpty())
        m_context.seam.message(problem, DownloadTitle, MessageIcon::Exclamation);
}

void frmBatchPicture::showIdleButtons()
{
    SetButtonFace(cmdPause);
    SetButtonFace(cmdCancel);
    cmdContinueDownload->hide();
    cmdPause->show();
}

// The picture being sent is finished; the run stops before the next one and waits for Continue.
void frmBatchPicture::pauseDownload()
{
    if (!hasFiles()) {
        m_context.seam.message(QStringLiteral("No files have been imported."),
                               QStringLiteral("Pause Download Message"), MessageIcon::Information);
        return;
    }
    if (m_run.currentIndex() == 0)
        return;
    m_context.state.BusyFlag = true;
    m_context.shell.setPanelText(2, QStringLiteral("Download Paused"));
    SetButtonColour(cmdContinueDownload, Qt::white);
    SetButtonFace(cmdPause);
    cmdPause->setText(QStringLiteral("Pausing Download"));
    m_pausedFlag = true;
    m_context.link.requestCancel();
}

// Sends again the file the run started last, even if it was confirmed, then the rest. The
// elapsed time goes on counting from the start of the run, pause included.
void frmBatchPicture::continueDownload()
{
    AppState& state = m_context.state;
    if (m_run.currentIndex() == 0 || m_transferActive)
        return;
    cmdCancel->setFocus();
    SetButtonColour(cmdPause, Qt::white);
    m_context.shell.setPanelText(2, QString());
    cmdContinueDownload->hide();
    cmdPause->show();
    portFrame()->setEnabled(false);
    m_context.shell.setBusyCursor(true);
    m_pausedFlag = false;
    state.CancelFlag = false;
    state.ReplyCode.clear();
    runFrom(m_run.currentIndex());
    // Paused again: the run waits for Continue as busy as the first time.
    if (!m_pausedFlag) {
        state.BusyFlag = false;
        state.CancelFlag = false;
    }
}

void frmBatchPicture::cancelDownload()
{
    if (m_singleDownloadFlag || !HasButtonColour(cmdCancel, Qt::white))
        return;
    AppState& state = m_context.state;
    const bool paused = m_pausedFlag && !m_transferActive;
    state.ReplyCode.clear();
    m_pausedFlag = false;
    m_run.forgetCurrent();
    m_context.link.requestCancel();
    state.BusyFlag = false;
    cmdContinueDownload->hide();
    cmdPause->show();
    cmdCancel->setText(QStringLiteral("Canceling Download"));
    SetButtonFace(cmdCancel);
    // No run is left to end by itself: the screen ends it here, as the run's end would.
    if (paused)
        FinishBatch();
}

void frmBatchPicture::downloadSelectedPicture()
{
    AppState& state = m_context.state;
    if (!hasFiles()) {
        m_context.seam.message(QStringLiteral("No files to select."), DownloadTitle,
                               MessageIcon::Information);
        return;
    }
    if (!isIdle() || refreshIsDue(DownloadTitle))
        return;
    if (m_selectedIndex == 0) {
        m_context.seam.message(QStringLiteral("No file has been selected."), DownloadTitle,
                               MessageIcon::Information);
        return;
    }
    if (!ConfirmPictureType(state, m_context.seam))
        return;
    m_context.link.pumpMessages();
    m_singleDownloadFlag = true;
    state.ReplyCode.clear();
    state.BusyFlag = true;
    portFrame()->setEnabled(false);
    m_context.shell.setBusyCursor(true);
    state.CancelFlag = false;
    m_context.shell.setPanelText(2, QString());
    m_context.shell.setPanelText(5, QString());
    m_context.shell.setPanelText(4, DownloadedFilesText(0));

    const int k = m_selectedIndex;
    if (!state.CheckedFlags.value(k)) {
        m_context.shell.setPanelText(2, QStringLiteral("Download Canceled"));
        m_context.seam.message(QStringLiteral("File has no address.\r\nPlease select a different "
                                              "file or check the checkbox."),
                               DownloadTitle, MessageIcon::Information);
        endSelectedPicture(false);
        return;
    }
    setCurrentAddressLabel(state.BatchRecords.at(k).Path);
    setRowColour(k, RowColour::Blue);
    const QString block = BatchPictureBlock(state, k, m_context.seam);
    {
        const QScopedValueRollback active(m_transferActive, true);
        m_context.link.setTransferSource(state.PictureFolder + state.BatchRecords.at(k).Path);
        m_context.link.TransferData(withTypeLetter(), state.AssignedAddresses.at(k), block);
    }
    reportSelectedPicture(k);
    endSelectedPicture(true);
}

void frmBatchPicture::reportSelectedPicture(int index)
{
    AppState& state = m_context.state;
    if (state.CancelFlag) {
        m_context.shell.setPanelText(2, QStringLiteral("Download Canceled"));
        return;
    }
    switch (ReadReplyOutcome(m_context.link)) {
    case ReplyOutcome::NotReady:
        setRowColour(index, RowColour::Cyan);
        m_context.shell.setPanelText(4, QStringLiteral("No controller reply"));
        break;
    case ReplyOutcome::Refused:
        setRowColour(index, RowColour::Red);
        ShowControllerError(m_context.seam, ReplyCodes::Refused);
        state.ReplyCode.clear();
        break;
    case ReplyOutcome::NoReply:
    case ReplyOutcome::LineBlocked: // the port status box says how far it got
        setRowColour(index, RowColour::Yellow);
        ShowNoReplyError(m_context.seam, ReplyCodes::NoReply);
        state.ReplyCode.clear();
        break;
    case ReplyOutcome::Unexpected:
        ShowUnexpectedReply(m_context.seam);
        break;
    case ReplyOutcome::Done:
        setRowColour(index, RowColour::Magenta);
        m_context.shell.setPanelText(4, DownloadedFilesText(1));
        break;
    }
}

void frmBatchPicture::endSelectedPicture(bool beep)
{
    AppState& state = m_context.state;
    if (beep)
        m_context.shell.beep();
    setCurrentAddressLabel(QString());
    m_context.shell.setBusyCursor(false);
    portFrame()->setEnabled(true);
    SetButtonFace(cmdCancel);
    state.BusyFlag = false;
    state.CancelFlag = false;
    m_singleDownloadFlag = false;
}

void frmBatchPicture::editAttributes()
{
    if (!hasFiles()) {
        m_context.seam.message(QStringLiteral("No files have been imported."),
                               QStringLiteral("Edit Attributes Message"), MessageIcon::Information);
        return;
    }
    if (m_context.state.BusyFlag || refreshIsDue(DownloadTitle))
        return;
    auto* window = new frmBatchAttributes(m_context, portFrame()->portStatus(), this);
    connect(window, &frmBatchAttributes::closed, this, [this] {
        m_context.state.BusyFlag = false;
        m_context.state.CancelFlag = false;
        m_context.link.setActiveScreen(this);
    });
    window->open();
}

void frmBatchPicture::closeForm()
{
    if (!isIdle())
        return;
    m_context.state.ReplyCode.clear();
    m_context.state.CancelFlag = true;
    (parentWidget() ? parentWidget() : static_cast<QWidget*>(this))->close();
}
