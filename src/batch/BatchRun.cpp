#include "BatchRun.h"

#include "AppState.h"
#include "BatchArithmetic.h"
#include "ControllerLink.h"
#include "ControllerMessages.h"
#include "ControllerOperations.h"
#include "Conversions.h"
#include "PictureEncoding.h"

QString BatchPictureBlock(AppState& state, int index, Prompter& prompter)
{
    PictureFileRecord record = state.BatchRecords.at(index);
    record.Path = state.PictureFolder + record.Path;
    return EncodeDownloadBlock(record, state, prompter);
}

BatchRun::BatchRun(ControllerLink& link, BatchRunView& view, AfterFailure afterFailure)
    : m_link(link)
    , m_view(view)
    , m_afterFailure(afterFailure)
{
}

void BatchRun::begin()
{
    const AppState& state = m_link.state();
    m_downloadedCount = 0;
    m_runStartTicks = GetTicks();
    m_results.clear();
    for (qsizetype i = 1; i < state.BatchRecords.size(); ++i)
        m_results.append({state.BatchRecords.at(i).Path, state.AssignedAddresses.value(i)});
}

qint64 BatchRun::elapsedMs() const
{
    return GetTicks() - m_runStartTicks;
}

void BatchRun::RunBatch(int first, int last)
{
    AppState& state = m_link.state();
    int i = first;
    m_failures = 0;
    while (i <= last) {
        m_link.pumpMessages();
        if (state.CancelFlag) {
            state.ReplyCode.clear();
            return;
        }
        if (!state.CheckedFlags.value(i)) {
            ++i;
            m_failures = 0;
            continue;
        }
        m_view.previewFile(i);
        m_view.setRowColour(i, RowColour::Blue);
        m_currentIndex = i;
        send(i);
        // A pause or cancel during the transfer: this file is not judged, Continue sends it again.
        if (state.CancelFlag) {
            state.ReplyCode.clear();
            return;
        }
        const Verdict verdict = judge(i);
        if (verdict == Verdict::Blocked) {
            reportBlocked(i);
            return;
        }
        if (verdict == Verdict::Failed) {
            reportFailure(i);
            if (m_afterFailure == AfterFailure::Stop)
                return;
        }
        if (verdict != Verdict::Again) {
            ++i;
            m_failures = 0;
        }
        showTimes(i);
    }
}

void BatchRun::send(int index)
{
    AppState& state = m_link.state();
    if (m_failures == 0)
        m_pictureStartTicks = GetTicks();
    const QString block = BatchPictureBlock(state, index, m_link.shell());
    BatchPictureResult& result = m_results[index - 1];
    ++result.attempts;
    result.bytes = block.size() / 2 * 2; // an odd trailing digit is not sent
    m_link.setTransferSource(state.PictureFolder + state.BatchRecords.at(index).Path);
    m_link.TransferData(m_view.withTypeLetter(), state.AssignedAddresses.at(index), block);
}

BatchRun::Verdict BatchRun::judge(int index)
{
    AppState& state = m_link.state();
    LinkShell& shell = m_link.shell();
    switch (ReadReplyOutcome(m_link)) {
    case ReplyOutcome::LineBlocked:
        // Sent again, the picture would only queue behind a line that takes nothing.
        m_view.setRowColour(index, RowColour::Red);
        finishPicture(index, PictureOutcome::Blocked);
        return Verdict::Blocked;
    case ReplyOutcome::NotReady:
        m_view.setRowColour(index, RowColour::Cyan);
        shell.setPanelText(4, QStringLiteral("No controller reply"));
        // Not checking replies: the controller cannot be heard, so the file is passed over.
        if (state.ControllerCheckFlag != 0)
            return retry(index);
        finishPicture(index, PictureOutcome::NoReply);
        return Verdict::Next;
    case ReplyOutcome::Done:
        m_view.setRowColour(index, RowColour::Magenta);
        ++m_downloadedCount;
        shell.setPanelText(4, DownloadedFilesText(m_downloadedCount));
        finishPicture(index, PictureOutcome::Done);
        if (index < state.BatchRecords.size() - 1)
            m_view.revealRow(index + 1);
        return Verdict::Next;
    case ReplyOutcome::Refused:
        m_view.setRowColour(index, RowColour::Yellow);
        return retry(index);
    case ReplyOutcome::NoReply:
    case ReplyOutcome::Unexpected:
        break;
    }
    m_view.setRowColour(index, RowColour::Green);
    return retry(index);
}

BatchRun::Verdict BatchRun::retry(int index)
{
    AppState& state = m_link.state();
    ++m_failures;
    // Without the ready byte too, a refusal is what the report gives as the last answer.
    const bool refused = ReadReplyCode(state) == ReplyOutcome::Refused;
    state.ReplyCode.clear();
    m_link.ShortDelay();
    if (m_failures < MaxAttempts)
        return Verdict::Again;
    m_view.setRowColour(index, RowColour::Red);
    finishPicture(index, refused ? PictureOutcome::Refused : PictureOutcome::NoReply);
    return Verdict::Failed;
}

void BatchRun::finishPicture(int index, PictureOutcome outcome)
{
    BatchPictureResult& result = m_results[index - 1];
    result.outcome = outcome;
    result.ms = GetTicks() - m_pictureStartTicks;
    m_view.pictureFinished(index, result);
}

void BatchRun::showTimes(int index)
{
    qint64 done = index - 1;
    const qint64 total = m_link.state().BatchRecords.size() - 1;
    m_view.setTimeText(
        TimeLabelText(EstimateRemainingTime(m_runStartTicks, GetTicks(), done, total)));
}

void BatchRun::reportFailure(int index)
{
    showRunMessage(QStringLiteral("%1 failed to download to address %2."), index);
    if (m_afterFailure == AfterFailure::Stop)
        endRun();
}

void BatchRun::reportBlocked(int index)
{
    showRunMessage(QStringLiteral("%1 was not sent to address %2:") + m_link.lineBlocked()->text(),
                   index);
    endRun();
}

void BatchRun::showRunMessage(const QString& pictureText, int index)
{
    AppState& state = m_link.state();
    m_link.shell().message(
        QStringLiteral("Error while downloading images.\r\n") +
            pictureText.arg(state.BatchRecords.at(index).Path, state.AssignedAddresses.at(index)),
        QStringLiteral("Download Picture Message"), MessageIcon::None);
    state.ReplyCode.clear();
}

void BatchRun::endRun()
{
    AppState& state = m_link.state();
    state.CancelFlag = true;
    state.BusyFlag = false;
}
