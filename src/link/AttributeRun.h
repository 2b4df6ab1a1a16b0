#pragma once

#include "ControllerOperations.h"

#include <QByteArray>
#include <QList>
#include <QString>

class ControllerLink;

// One row of a batch attribute run: the picture it belongs to, the address its record goes to,
// and the attribute command that carries the record.
struct AttributeJob
{
    QString path;
    QString address;
    QByteArray command;
};

// How a row stands in a run; the window shows it as the row's colour.
enum class AttributeRowState {
    Waiting,   // not sent in this run (yet)
    Sending,   // being sent
    Confirmed, // the controller answered ReplyCodes::Done
    Refused,   // ReplyCodes::Refused, will be sent again
    NoReply,   // nothing within the reply window, will be sent again
    NotReady,  // no ready byte
    Failed,    // failed for good, or not taken by a blocked line
};

// What a batch attribute run shows as it goes. Rows are numbered 1..N.
class AttributeRunView
{
public:
    virtual ~AttributeRunView() = default;
    virtual void showRowState(int row, AttributeRowState state) = 0;
    virtual void revealRow(int /*row*/) {}
    // The row is done with: confirmed, passed over without a ready byte, or failed for good.
    virtual void rowFinished(int /*row*/, ReplyOutcome /*lastOutcome*/) {}
};

// The batch attribute download: each row's attribute command in order, through the link's one
// attribute send. A row the controller refuses, leaves unanswered, or (while replies are checked)
// never says it is ready for, is sent again at once, six attempts in all; the sixth failure ends
// the run with a message and sets CancelFlag. A row the line does not take (blocked for the stall
// limit) is not sent again: it fails at once, with the blocked-line text in the message. Cancel
// stops the run after the current send.
class AttributeRun
{
public:
    static constexpr int MaxAttempts = 6;

    AttributeRun(ControllerLink& link, AttributeRunView& view);

    // Rows 1..jobs.size(). Returns when every row is done, Cancel was seen, or a row failed.
    void DownloadRows(const QList<AttributeJob>& jobs);
    int downloadedCount() const { return m_downloadedCount; }

private:
    enum class Verdict { Next, Again, Failed, Blocked };

    Verdict judge(int row, ReplyOutcome outcome, int rowCount);
    Verdict retry();
    // Failed six times, or (`lineBlocked`) not taken by the line at all.
    void reportFailure(const AttributeJob& job, bool lineBlocked);

    ControllerLink& m_link;
    AttributeRunView& m_view;
    int m_downloadedCount = 0;
    int m_failures = 0; // failed attempts at the current row
};
