#pragma once

#include <QList>

#include <functional>

class QPushButton;
class QWidget;
struct ScreenContext;

// One picture sent to one address from a screen: the busy state around the transfer and what the
// operator is told afterwards. The single picture and switch data screens share it.
class PictureDownload
{
public:
    // `cancel` is the screen's "Cancel Download"; `frames` are disabled while a transfer runs.
    PictureDownload(ScreenContext& context, QPushButton* cancel, QList<QWidget*> frames);

    // Busy: reply cleared, frames disabled, the busy pointer, Cancel live (white) with the focus.
    void enter();
    // A beep, and everything back as it was before enter().
    void leave();
    // Cancel acts only while it is live: it stops the transfer and the reply wait.
    void cancel();
    void setCancelLive(bool live);

    // One picture sent: busy, the status panels cleared, `transfer`, the outcome reported, idle.
    void run(const std::function<void()>& transfer);
    // Download clicked with no picture in the list.
    void reportNoFiles();

private:
    // The outcome of the transfer just ended, by its reply: status panels and messages.
    void report();
    void setFramesEnabled(bool enabled);
    void setDownloadedCount(int count);

    ScreenContext& m_context;
    QPushButton* m_cancel;
    QList<QWidget*> m_frames;
};
