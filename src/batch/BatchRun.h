#pragma once

#include "BatchReport.h"
#include "RowColour.h"

#include <QString>

struct AppState;
class ControllerLink;
class Prompter;

// What file `index` of the batch sends: its picture as the current type's encoder makes it
// (LCD 36x24 with the file's LED codes). The batch keeps names inside its folder.
QString BatchPictureBlock(AppState& state, int index, Prompter& prompter);

// What a batch run shows as it goes. Files are numbered 1..N as in the batch arrays.
class BatchRunView
{
public:
    virtual ~BatchRunView() = default;
    virtual void setRowColour(int index, RowColour colour) = 0;
    virtual void revealRow(int index) = 0;
    virtual void previewFile(int index) = 0;
    virtual void setTimeText(const QString& text) = 0;
    // "Switch Identifier" is ticked: every transfer header carries the type letter.
    virtual bool withTypeLetter() const = 0;
    // The file is done with: confirmed, passed over, or failed on its last attempt.
    virtual void pictureFinished(int /*index*/, const BatchPictureResult& /*result*/) {}
};

// The download loop of a batch: every ticked file of the batch in AppState, in order, to its
// assigned address, as the encoder of the current type makes it. A file the controller refuses,
// leaves unanswered or never says it is ready for is sent again at once, six attempts in all;
// the sixth failure shows a message and, unless the run goes on after failures, ends it. A file the
// line would not take (blocked for the stall limit) is not sent again: its message ends the run.
// Pause and Cancel act through CancelFlag, which the loop tests before each file and after each
// transfer.
class BatchRun
{
public:
    // Attempts per file before the run gives up on it.
    static constexpr int MaxAttempts = 6;

    // What a file that failed for good does to the run: the window stops there; a production
    // line goes on with the rest and lists the failures in the report.
    enum class AfterFailure { Stop, GoOn };

    BatchRun(ControllerLink& link, BatchRunView& view,
             AfterFailure afterFailure = AfterFailure::Stop);

    // A new run: nothing confirmed yet, every file of the batch skipped, the clock starts now.
    void begin();
    // Files first..last. Returns when the last file is done, CancelFlag is seen, or a file
    // failed for good or found the line blocked (its message shown, CancelFlag set, BusyFlag
    // cleared).
    void RunBatch(int first, int last);

    // The file whose transfer started last; 0 when there is no run to continue.
    int currentIndex() const { return m_currentIndex; }
    void forgetCurrent() { m_currentIndex = 0; }
    int downloadedCount() const { return m_downloadedCount; }
    // Files 1..N of the batch as this run has left them (element i - 1 for file i).
    const BatchResults& results() const { return m_results; }
    qint64 elapsedMs() const;

private:
    enum class Verdict { Next, Again, Failed, Blocked };

    void send(int index);
    Verdict judge(int index);
    Verdict retry(int index);
    void showTimes(int index);
    void reportFailure(int index);
    // The line took nothing: the run ends after this file, whatever failures it goes on after.
    void reportBlocked(int index);
    // "Error while downloading images." and `pictureText` with the file's name and address.
    void showRunMessage(const QString& pictureText, int index);
    void endRun();
    void finishPicture(int index, PictureOutcome outcome);

    ControllerLink& m_link;
    BatchRunView& m_view;
    int m_currentIndex = 0;
    int m_downloadedCount = 0;
    int m_failures = 0; // failed attempts at the current file
    qint64 m_runStartTicks = 0;
    qint64 m_pictureStartTicks = 0;
    AfterFailure m_afterFailure;
    BatchResults m_results;
};
