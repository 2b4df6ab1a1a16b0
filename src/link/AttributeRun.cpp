#include "AttributeRun.h"

#include "AppState.h"
#include "ControllerLink.h"
#include "ControllerMessages.h"

AttributeRun::AttributeRun(ControllerLink& link, AttributeRunView& view)
    : m_link(link)
    , m_view(view)
{
}

void AttributeRun::DownloadRows(const QList<AttributeJob>& jobs)
{
    AppState& state = m_link.state();
    m_downloadedCount = 0;
    m_failures = 0;
    int row = 1;
    while (row <= jobs.size()) {
        m_link.pumpMessages();
        const AttributeJob& job = jobs.at(row - 1);
        if (LinkScreen* screen = m_link.activeScreen())
            screen->setCurrentAddressLabel(job.address);
        m_link.appendTraffic(QStringLiteral("\r\n"), TrafficDirection::Sent);
        m_view.showRowState(row, AttributeRowState::Sending);
        const ReplyOutcome outcome =
            SendAttributeCommand(m_link, job.command, AttributeReplyWait::AfterShortDelay);
        if (state.CancelFlag)
            break;
        const Verdict verdict = judge(row, outcome, int(jobs.size()));
        if (verdict == Verdict::Failed || verdict == Verdict::Blocked) {
            m_view.showRowState(row, AttributeRowState::Failed);
            m_view.rowFinished(row, outcome);
            reportFailure(job, verdict == Verdict::Blocked);
            break;
        }
        if (verdict == Verdict::Next) {
            m_view.rowFinished(row, outcome);
            ++row;
            m_failures = 0;
        }
    }
    if (LinkScreen* screen = m_link.activeScreen())
        screen->setCurrentAddressLabel(QString());
}

AttributeRun::Verdict AttributeRun::judge(int row, ReplyOutcome outcome, int rowCount)
{
    const AppState& state = m_link.state();
    LinkShell& shell = m_link.shell();
    switch (outcome) {
    case ReplyOutcome::LineBlocked:
        // Sent again, the row would only queue behind a line that takes nothing.
        return Verdict::Blocked;
    case ReplyOutcome::Done:
        m_view.showRowState(row, AttributeRowState::Confirmed);
        ++m_downloadedCount;
        shell.setPanelText(4, DownloadedFilesText(m_downloadedCount));
        if (row < rowCount)
            m_view.revealRow(row + 1);
        return Verdict::Next;
    case ReplyOutcome::NotReady:
        m_view.showRowState(row, AttributeRowState::NotReady);
        shell.setPanelText(4, QStringLiteral("No controller reply"));
        // Replies not checked: the controller cannot be heard, so the row counts as sent.
        return state.ControllerCheckFlag == 0 ? Verdict::Next : retry();
    case ReplyOutcome::Refused:
        m_view.showRowState(row, AttributeRowState::Refused);
        return retry();
    case ReplyOutcome::NoReply:
    case ReplyOutcome::Unexpected:
        // An answer that is neither "y" nor "n" is a failed attempt too, so a controller
        // talking noise cannot keep the run sending the same row for ever.
        m_view.showRowState(row, AttributeRowState::NoReply);
        return retry();
    }
    return retry();
}

AttributeRun::Verdict AttributeRun::retry()
{
    ++m_failures;
    m_link.state().ReplyCode.clear();
    m_link.ShortDelay();
    return m_failures < MaxAttempts ? Verdict::Again : Verdict::Failed;
}

void AttributeRun::reportFailure(const AttributeJob& job, bool lineBlocked)
{
    AppState& state = m_link.state();
    const QString what = lineBlocked
                             ? QStringLiteral("%1 attributes were not sent to address %2:") +
                                   m_link.lineBlocked()->text()
                             : QStringLiteral("%1 attributes failed to download to address %2.");
    m_link.shell().message(QStringLiteral("Error while downloading image attributes.\r\n") +
                               what.arg(job.path, job.address),
                           QStringLiteral("Download Attributes Message"), MessageIcon::None);
    state.CancelFlag = true;
    state.ReplyCode.clear();
}
