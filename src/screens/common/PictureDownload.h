#pragma once

#include <QList>

#include <functional>

class PictureFrame;
class QPushButton;
class QWidget;
struct ScreenContext;

// One picture sent to one address from a screen: the busy state around the transfer and what the
// operator is told afterwards. The single picture and switch data screens share it.
class PictureDownload
{
public:
    // `cancel` is the screen's "Cancel Download"; `picture` holds the address box; `frames`
    // (the picture frame among them) are disabled while a transfer runs.
    PictureDownload(ScreenContext& context, QPushButton* cancel, PictureFrame* picture,
                    QList<QWidget*> frames);

    // Busy: reply cleared, frames disabled, the busy pointer, Cancel live (white) with the focus.
    void enter();
    // A beep, and everything back as it was before enter().
    void leave();
    // Cancel acts only while it is live: it stops the transfer and the reply wait.
    void cancel();
    void setCancelLive(bool live);

    // Download clicked. Without a picture the operator is told there is none; while busy, with
    // the address refused or the type question declined nothing is sent. Otherwise: busy, the
    // status panels cleared, `transfer`, the outcome reported, idle again.
    void run(bool hasPicture, const std::function<void()>& transfer);

private:
    // The outcome of the transfer just ended, by its reply: status panels and messages.
    void report();
    void setFramesEnabled(bool enabled);
    void setDownloadedCount(int count);

    ScreenContext& m_context;
    QPushButton* m_cancel;
    PictureFrame* m_picture;
    QList<QWidget*> m_frames;
};
