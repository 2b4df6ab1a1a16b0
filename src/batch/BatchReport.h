#pragma once

#include <QList>
#include <QString>

// How one picture of a batch ended: confirmed, refused or unanswered on its last attempt, not sent
// in full because the line took nothing (the run ends there), or not sent in this run at all.
enum class PictureOutcome { Skipped, Done, Refused, NoReply, Blocked };

// One line of a batch report. `bytes` counts the picture's data characters of one attempt, as
// they go on the line after the header.
struct BatchPictureResult
{
    QString file; // the name inside the batch folder
    QString address;
    int attempts = 0;
    PictureOutcome outcome = PictureOutcome::Skipped;
    qint64 ms = 0; // from the first attempt to the last answer
    qint64 bytes = 0;
};
using BatchResults = QList<BatchPictureResult>;

// "done", "refused", "no reply", "blocked", "skipped": the words the report and the summary use.
QString PictureOutcomeText(PictureOutcome outcome);

// The report as CSV (a header row "file,address,attempts,outcome,seconds,bytes", then one row per
// picture) or, for a name ending in ".json", as a JSON array of objects with those keys. The old
// report stays whole until the new one is completely written. The reason it could not be
// written, or the empty text.
QString WriteBatchReport(const QString& path, const BatchResults& results);

// A report written by WriteBatchReport, either form; `error` says why it could not be read.
struct ReadReport
{
    BatchResults results;
    QString error;
};
ReadReport ReadBatchReport(const QString& path);

// The counts and time of a run, for the line or box that ends it.
struct BatchSummary
{
    int done = 0;
    int refused = 0;
    int noReply = 0;
    int skipped = 0;
    int blocked = 0;
    qint64 ms = 0;
};
BatchSummary SummariseBatch(const BatchResults& results, qint64 ms);
// "12 done, 1 refused, 0 no reply, 0 skipped, 00:00:42"; a run that found the line blocked says
// so before the time: "0 done, 0 refused, 0 no reply, 3 skipped, 1 blocked, 00:00:05"
QString BatchSummaryText(const BatchSummary& summary);
