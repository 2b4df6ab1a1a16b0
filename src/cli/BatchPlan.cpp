#include "BatchPlan.h"

#include "AppState.h"
#include "BatchArithmetic.h"
#include "BatchFiles.h"
#include "ControllerQuery.h"
#include "Conversions.h"
#include "HexField.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

// Nobody watches a headless import: it runs to the end and shows nothing.
class SilentScan final : public FolderScanObserver
{
public:
    bool keepScanning() override { return true; }
    void showScanStatus(int, const QString&) override {}
};

BatchPlan refused(const QString& why)
{
    BatchPlan plan;
    plan.error = why;
    return plan;
}

// The window's block: 1..N, or from a start address as its start entry takes it.
QString offsetAddresses(const CliRequest& request, BatchPlan& plan)
{
    qint64 offset = 0;
    if (!request.start.isEmpty()) {
        const OffsetVerdict verdict =
            CheckAddressOffset(PadOffsetEntry(request.start.toUpper(), plan.typeCode), false,
                               plan.count(), plan.typeCode);
        if (!verdict.message.isEmpty())
            return QStringLiteral("--start %1: %2")
                .arg(request.start,
                     QString(verdict.message).replace(QLatin1String("\r\n"), QLatin1String(" ")));
        offset = verdict.offset;
    }
    plan.addresses = OffsetAddressList(plan.count(), plan.typeCode, offset);
    return QString();
}

// One hex address per line, in the batch's order; every address checked as the address boxes
// check one, and none twice (the second picture would replace the first).
QString listedAddresses(const QString& path, BatchPlan& plan)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    const int width = AddressWidth(plan.typeCode);
    plan.addresses = QStringList{QString()};
    int lineNumber = 0;
    while (!file.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const HexFieldVerdict verdict =
            CheckHexField(PadAddress(line, width), width, HighestAddress(plan.typeCode));
        if (!verdict.accepted)
            return QStringLiteral("%1 line %2: address %3 for %4: %5")
                .arg(path)
                .arg(lineNumber)
                .arg(line, ControllerSettingText(plan.typeCode), verdict.message);
        if (plan.addresses.contains(verdict.text))
            return QStringLiteral("%1 line %2: address %3 is listed twice")
                .arg(path)
                .arg(lineNumber)
                .arg(verdict.text);
        plan.addresses.append(verdict.text);
    }
    if (plan.addresses.size() != plan.names.size())
        return QStringLiteral("%1 lists %2 addresses for %3 pictures: one per picture, in the "
                              "batch's order")
            .arg(path)
            .arg(plan.addresses.size() - 1)
            .arg(plan.count());
    return QString();
}

// Several reports (one per port of a parallel run) count together.
QString resumedPictures(const QStringList& paths, BatchPlan& plan)
{
    plan.resumed = BatchResults(plan.count());
    QHash<QString, BatchPictureResult> done;
    for (const QString& path : paths) {
        const ReadReport report = ReadBatchReport(path);
        if (!report.error.isEmpty())
            return report.error;
        for (const BatchPictureResult& result : report.results) {
            if (result.outcome == PictureOutcome::Done)
                done.insert(result.file, result);
        }
    }
    for (int i = 1; i <= plan.count(); ++i)
        plan.resumed[i - 1] = done.value(plan.names.at(i));
    return QString();
}

QString reportName(const QString& report, int number)
{
    const QFileInfo info(report);
    return info.dir().filePath(
        QStringLiteral("%1-%2.%3").arg(info.completeBaseName()).arg(number).arg(info.suffix()));
}

} // namespace

BatchPlan PlanBatch(const CliRequest& request)
{
    const QString folder = request.arguments.constFirst();
    if (!QFileInfo(folder).isDir())
        return refused(QStringLiteral("cannot read the folder %1: no such folder").arg(folder));
    BatchPlan plan;
    plan.folder = QDir(folder).absolutePath() + u'/';
    plan.typeCode = request.typeCode;
    SilentScan scan;
    plan.names = CollectMatchingFiles(plan.folder, plan.typeCode, scan);
    if (plan.count() == 0)
        return refused(QStringLiteral("%1 holds no bitmap of a length %2 takes")
                           .arg(folder, ControllerSettingText(plan.typeCode)));
    QString problem = request.addressesFile.isEmpty()
                          ? offsetAddresses(request, plan)
                          : listedAddresses(request.addressesFile, plan);
    if (problem.isEmpty())
        problem = resumedPictures(request.resume, plan);
    // Found out before the run, not after an hour of it.
    const QString reportFolder = QFileInfo(request.report).absolutePath();
    if (problem.isEmpty() && !request.report.isEmpty() && !QFileInfo(reportFolder).isDir())
        problem = QStringLiteral("cannot write the report %1: there is no folder %2")
                      .arg(request.report, reportFolder);
    if (!problem.isEmpty())
        return refused(problem);
    if (request.reverse)
        std::reverse(plan.addresses.begin() + 1, plan.addresses.end());
    return plan;
}

QList<BatchShare> ShareBatch(const CliRequest& request, int count)
{
    const int ports = int(request.ports.size());
    QList<BatchShare> shares;
    int next = 1;
    for (int p = 0; p < ports; ++p) {
        BatchShare share;
        share.port = request.ports.at(p);
        if (request.spread == BatchSpread::Split) {
            const int size = count / ports + (p < count % ports ? 1 : 0);
            share.first = next;
            share.last = next + size - 1;
            next += size;
        } else {
            share.last = count;
        }
        if (!request.report.isEmpty())
            share.reportPath = ports == 1 ? request.report : reportName(request.report, p + 1);
        shares.append(share);
    }
    return shares;
}
