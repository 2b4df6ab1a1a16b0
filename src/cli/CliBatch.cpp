// vantrel-cli batch: the batch picture window's run without a window, on one port or on several
// at once, each picture's outcome written to a report.

#include "CliSession.h"

#include "BatchFiles.h"
#include "BatchRun.h"
#include "Outcome.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {

// The run's view on a terminal: nothing to colour or preview; each finished picture moves the
// progress line on.
class BatchLineView final : public BatchRunView
{
public:
    BatchLineView(BatchProgressLine& progress, int portIndex, bool withTypeLetter,
                  std::function<void()> afterPicture)
        : m_progress(progress)
        , m_portIndex(portIndex)
        , m_withTypeLetter(withTypeLetter)
        , m_afterPicture(std::move(afterPicture))
    {
    }
    void setRowColour(int, RowColour) override {}
    void revealRow(int) override {}
    void previewFile(int) override {}
    void setTimeText(const QString&) override {}
    bool withTypeLetter() const override { return m_withTypeLetter; }
    void pictureFinished(int, const BatchPictureResult&) override
    {
        m_progress.pictureFinished(m_portIndex);
        m_afterPicture();
    }

private:
    BatchProgressLine& m_progress;
    int m_portIndex;
    bool m_withTypeLetter;
    std::function<void()> m_afterPicture;
};

// While a run goes, its report is written again at most this often, so that a run cut short
// (Ctrl+C, a machine switched off) leaves a report to resume from that is at most this old.
constexpr qint64 RunningReportIntervalMs = 1000;

// A share's lines of the report: what this run did, and what an earlier report had done.
BatchResults shareResults(const BatchPlan& plan, const BatchShare& share, const BatchRun& run)
{
    BatchResults results;
    for (int i = share.first; i <= share.last; ++i)
        results.append(plan.isResumedDone(i) ? plan.resumed.at(i - 1) : run.results().at(i - 1));
    return results;
}

int exitCodeOf(PictureOutcome outcome)
{
    switch (outcome) {
    case PictureOutcome::Done:
        return ExitCode::Done;
    case PictureOutcome::Refused:
        return ExitCode::ControllerError;
    case PictureOutcome::Blocked:
        return ExitCode::LineBlocked;
    case PictureOutcome::NoReply:
    case PictureOutcome::Skipped:
        break;
    }
    return ExitCode::NoReply;
}

// Silence outweighs a refusal: a controller that stopped answering needs a person first; a
// blocked line, which ended the run, outweighs both.
int exitCodeOf(const BatchResults& results)
{
    int worst = ExitCode::Done;
    for (const BatchPictureResult& result : results)
        worst = std::max(worst, exitCodeOf(result.outcome));
    return worst;
}

} // namespace

int CliSession::batch()
{
    const BatchPlan plan = PlanBatch(m_request);
    if (!plan.error.isEmpty())
        return fail(plan.error);
    const QList<BatchShare> shares = ShareBatch(m_request, plan.count());
    QList<int> sizes;
    for (const BatchShare& share : shares)
        sizes.append(share.last - share.first + 1);
    BatchProgressLine progress(m_progressStream, m_request.ports, sizes);

    // Each thread writes only its own element.
    std::vector<ShareResult> results(std::size_t(shares.size()));
    if (shares.size() == 1) {
        results[0] = runShareSession(m_request, plan, shares.at(0), progress, 0);
    } else {
        std::vector<std::unique_ptr<QThread>> threads;
        for (qsizetype p = 0; p < shares.size(); ++p) {
            threads.emplace_back(QThread::create([&, p] {
                results[std::size_t(p)] =
                    runShareSession(m_request, plan, shares.at(p), progress, int(p));
            }));
            threads.back()->start();
        }
        for (const std::unique_ptr<QThread>& thread : threads)
            thread->wait();
    }
    progress.finish();

    int exitCode = ExitCode::Done;
    BatchResults all;
    qint64 longest = 0;
    for (qsizetype p = 0; p < shares.size(); ++p) {
        const ShareResult& result = results[std::size_t(p)];
        PrintLine(stdout, shares.at(p).port + QStringLiteral(": ") +
                              BatchSummaryText(SummariseBatch(result.results, result.ms)));
        exitCode = std::max(exitCode, result.exitCode);
        all += result.results;
        longest = std::max(longest, result.ms);
    }
    if (shares.size() > 1)
        PrintLine(stdout, QStringLiteral("all: ") + BatchSummaryText(SummariseBatch(all, longest)));
    return exitCode;
}

CliSession::ShareResult CliSession::runShareSession(const CliRequest& request,
                                                    const BatchPlan& plan, const BatchShare& share,
                                                    BatchProgressLine& progress, int portIndex)
{
    CliRequest own = request;
    own.port = share.port;
    CliSession session(own, nullptr);
    return session.runShare(plan, share, progress, portIndex);
}

CliSession::ShareResult CliSession::runShare(const BatchPlan& plan, const BatchShare& share,
                                             BatchProgressLine& progress, int portIndex)
{
    loadBatch(plan, share);
    const BatchRun* running = nullptr;
    QElapsedTimer sinceReport;
    sinceReport.start();
    BatchLineView view(progress, portIndex, m_request.withTypeLetter, [&] {
        if (running && !share.reportPath.isEmpty() &&
            sinceReport.elapsed() >= RunningReportIntervalMs) {
            WriteBatchReport(share.reportPath, shareResults(plan, share, *running));
            sinceReport.restart();
        }
    });
    BatchRun run(m_link, view, BatchRun::AfterFailure::GoOn);
    running = &run;
    run.begin();
    // A port that does not open still gets its report, every picture skipped, to resume from.
    const std::optional<int> failed = openPort();
    if (!failed) {
        run.RunBatch(share.first, share.last);
        // As the window offers it at the end of a run that downloaded anything, unless the line
        // took nothing at the end. The port closes right after: the byte must have left first.
        if (m_request.refresh && run.downloadedCount() > 0 && !m_link.lineBlocked()) {
            m_link.SendBytes(QByteArrayLiteral("$"));
            m_link.WaitForEmptyOutput(0);
        }
    }
    ShareResult result;
    result.ms = run.elapsedMs();
    result.results = shareResults(plan, share, run);
    result.exitCode = failed ? *failed : finish(exitCodeOf(result.results));
    if (!share.reportPath.isEmpty()) {
        if (const QString problem = WriteBatchReport(share.reportPath, result.results);
            !problem.isEmpty())
            result.exitCode = fail(problem);
    }
    return result;
}

// The batch arrays as the window's import and address entry leave them, with only this share's
// pictures still to send ticked.
void CliSession::loadBatch(const BatchPlan& plan, const BatchShare& share)
{
    m_state.TypeCode = plan.typeCode;
    m_state.PictureFolder = plan.folder;
    TakeBatchFiles(m_state, plan.names);
    m_state.AssignedAddresses = plan.addresses;
    for (int i = 1; i <= plan.count(); ++i)
        m_state.CheckedFlags[i] = i >= share.first && i <= share.last && !plan.isResumedDone(i);
}
