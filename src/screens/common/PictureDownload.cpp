#include "PictureDownload.h"

#include "AppState.h"
#include "ButtonColour.h"
#include "ControllerLink.h"
#include "ControllerMessages.h"
#include "ControllerOperations.h"
#include "PictureFrame.h"
#include "ScreenContext.h"
#include "SwitchCommands.h"
#include "UiSeam.h"

#include <QPushButton>

PictureDownload::PictureDownload(ScreenContext& context, QPushButton* cancel, PictureFrame* picture,
                                 QList<QWidget*> frames)
    : m_context(context)
    , m_cancel(cancel)
    , m_picture(picture)
    , m_frames(std::move(frames))
{
}

void PictureDownload::setFramesEnabled(bool enabled)
{
    for (QWidget* frame : m_frames)
        frame->setEnabled(enabled);
}

void PictureDownload::setCancelLive(bool live)
{
    if (live)
        SetButtonColour(m_cancel, Qt::white);
    else
        SetButtonFace(m_cancel);
}

void PictureDownload::enter()
{
    AppState& state = m_context.state;
    state.ReplyCode.clear();
    state.BusyFlag = true;
    setFramesEnabled(false);
    state.CancelFlag = false;
    state.StopTransferFlag = false;
    m_context.shell.setBusyCursor(true);
    setCancelLive(true);
    m_cancel->setFocus();
}

void PictureDownload::leave()
{
    AppState& state = m_context.state;
    m_context.shell.beep();
    state.ReplyCode.clear();
    setFramesEnabled(true);
    m_context.shell.setBusyCursor(false);
    setCancelLive(false);
    state.BusyFlag = false;
    state.CancelFlag = false;
    state.StopTransferFlag = false;
}

void PictureDownload::cancel()
{
    if (!HasButtonColour(m_cancel, Qt::white))
        return;
    m_context.state.BusyFlag = false;
    m_context.link.requestStop();
    m_context.link.requestCancel();
    setCancelLive(false);
}

void PictureDownload::setDownloadedCount(int count)
{
    m_context.shell.setPanelText(4, DownloadedFilesText(count));
}

void PictureDownload::report()
{
    AppState& state = m_context.state;
    if (state.CancelFlag) {
        m_context.shell.setPanelText(2, QStringLiteral("Download Canceled"));
        setDownloadedCount(0);
        return;
    }
    switch (ReadReplyOutcome(m_context.link)) {
    case ReplyOutcome::NotReady:
        m_context.shell.setPanelText(4, QStringLiteral("No controller reply"));
        return;
    case ReplyOutcome::Refused:
        setDownloadedCount(0);
        ShowControllerError(m_context.seam, ReplyCodes::Refused);
        return;
    case ReplyOutcome::NoReply:
    case ReplyOutcome::LineBlocked: // the port status box says how far it got
        ShowNoReplyError(m_context.seam, ReplyCodes::NoReply);
        state.ReplyCode.clear();
        setDownloadedCount(0);
        return;
    case ReplyOutcome::Unexpected:
        ShowUnexpectedReply(m_context.seam);
        return;
    case ReplyOutcome::Done:
        setDownloadedCount(1);
        return;
    }
}

void PictureDownload::run(bool hasPicture, const std::function<void()>& transfer)
{
    AppState& state = m_context.state;
    if (!hasPicture) {
        m_context.seam.message(QStringLiteral("No files to download."),
                               QStringLiteral("Download Picture Message"),
                               MessageIcon::Information);
        return;
    }
    // An address still being typed is checked before it is used.
    if (state.BusyFlag || !m_picture->acceptAddress() || !ConfirmPictureType(state, m_context.seam))
        return;
    enter();
    m_context.shell.setPanelText(2, QString());
    setDownloadedCount(0);
    m_context.shell.setPanelText(5, QString());
    transfer();
    report();
    leave();
}
