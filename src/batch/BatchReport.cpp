#include "BatchReport.h"

#include "BatchArithmetic.h"
#include "WholeFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

const QStringList Columns{QStringLiteral("file"),     QStringLiteral("address"),
                          QStringLiteral("attempts"), QStringLiteral("outcome"),
                          QStringLiteral("seconds"),  QStringLiteral("bytes")};
constexpr PictureOutcome Outcomes[] = {PictureOutcome::Skipped, PictureOutcome::Done,
                                       PictureOutcome::Refused, PictureOutcome::NoReply,
                                       PictureOutcome::Blocked};

bool isJsonName(const QString& path)
{
    return path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive);
}

QString secondsText(qint64 ms)
{
    return QString::number(double(ms) / 1000.0, 'f', 3);
}

PictureOutcome outcomeFromText(const QString& text)
{
    const auto* found =
        std::find_if(std::begin(Outcomes), std::end(Outcomes),
                     [&](PictureOutcome o) { return PictureOutcomeText(o) == text; });
    return found == std::end(Outcomes) ? PictureOutcome::Skipped : *found;
}

QStringList fieldsOf(const BatchPictureResult& result)
{
    return {result.file,
            result.address,
            QString::number(result.attempts),
            PictureOutcomeText(result.outcome),
            secondsText(result.ms),
            QString::number(result.bytes)};
}

BatchPictureResult resultOf(const QStringList& fields)
{
    BatchPictureResult result;
    result.file = fields.value(0);
    result.address = fields.value(1);
    result.attempts = fields.value(2).toInt();
    result.outcome = outcomeFromText(fields.value(3));
    result.ms = qRound64(fields.value(4).toDouble() * 1000.0);
    result.bytes = fields.value(5).toLongLong();
    return result;
}

// A file name may hold a comma or a quote: such a field is quoted, its quotes doubled.
QString csvField(const QString& text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n'))
        return text;
    return u'"' + QString(text).replace(QLatin1String("\""), QLatin1String("\"\"")) + u'"';
}

QByteArray csvText(const BatchResults& results)
{
    QString text = Columns.join(u',') + u'\n';
    for (const BatchPictureResult& result : results) {
        QStringList fields = fieldsOf(result);
        std::transform(fields.begin(), fields.end(), fields.begin(), csvField);
        text += fields.join(u',') + u'\n';
    }
    return text.toUtf8();
}

// The fields of each CSV row, quoted fields as csvField writes them.
QList<QStringList> csvRows(const QString& text)
{
    QList<QStringList> rows;
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted && c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
            field += c;
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && c == u',') {
            fields.append(std::exchange(field, QString()));
        } else if (!quoted && (c == u'\n' || c == u'\r')) {
            if (!field.isEmpty() || !fields.isEmpty())
                rows.append(std::exchange(fields, {}) << std::exchange(field, QString()));
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !fields.isEmpty())
        rows.append(fields << field);
    return rows;
}

QByteArray jsonText(const BatchResults& results)
{
    QJsonArray rows;
    for (const BatchPictureResult& result : results) {
        rows.append(QJsonObject{{Columns[0], result.file},
                                {Columns[1], result.address},
                                {Columns[2], result.attempts},
                                {Columns[3], PictureOutcomeText(result.outcome)},
                                {Columns[4], double(result.ms) / 1000.0},
                                {Columns[5], result.bytes}});
    }
    return QJsonDocument(rows).toJson();
}

ReadReport jsonReport(const QByteArray& bytes, const QString& path)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (!document.isArray())
        return {{},
                QStringLiteral("%1 is no batch report: %2").arg(path, parseError.errorString())};
    ReadReport report;
    for (const QJsonValue& row : document.array()) {
        const QJsonObject object = row.toObject();
        QStringList fields;
        for (const QString& column : Columns)
            fields.append(object.value(column).toVariant().toString());
        report.results.append(resultOf(fields));
    }
    return report;
}

} // namespace

QString PictureOutcomeText(PictureOutcome outcome)
{
    switch (outcome) {
    case PictureOutcome::Done:
        return QStringLiteral("done");
    case PictureOutcome::Refused:
        return QStringLiteral("refused");
    case PictureOutcome::NoReply:
        return QStringLiteral("no reply");
    case PictureOutcome::Blocked:
        return QStringLiteral("blocked");
    case PictureOutcome::Skipped:
        break;
    }
    return QStringLiteral("skipped");
}

QString WriteBatchReport(const QString& path, const BatchResults& results)
{
    const QByteArray bytes = isJsonName(path) ? jsonText(results) : csvText(results);
    if (const QString problem = WriteWholeFile(path, bytes); !problem.isEmpty())
        return QStringLiteral("cannot write the report %1: %2").arg(path, problem);
    return QString();
}

ReadReport ReadBatchReport(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("cannot read the report %1: %2").arg(path, file.errorString())};
    const QByteArray bytes = file.readAll();
    if (isJsonName(path))
        return jsonReport(bytes, path);
    QList<QStringList> rows = csvRows(QString::fromUtf8(bytes));
    if (rows.isEmpty() || rows.takeFirst() != Columns)
        return {{},
                QStringLiteral("%1 is no batch report: its first line must be %2")
                    .arg(path, Columns.join(u','))};
    ReadReport report;
    for (const QStringList& fields : rows)
        report.results.append(resultOf(fields));
    return report;
}

BatchSummary SummariseBatch(const BatchResults& results, qint64 ms)
{
    BatchSummary summary;
    summary.ms = ms;
    for (const BatchPictureResult& result : results) {
        int& count = result.outcome == PictureOutcome::Done      ? summary.done
                     : result.outcome == PictureOutcome::Refused ? summary.refused
                     : result.outcome == PictureOutcome::NoReply ? summary.noReply
                     : result.outcome == PictureOutcome::Blocked ? summary.blocked
                                                                 : summary.skipped;
        ++count;
    }
    return summary;
}

QString BatchSummaryText(const BatchSummary& summary)
{
    // Only a run that met a blocked line names it: it ends such a run, so it is seldom there.
    const QString blocked =
        summary.blocked > 0 ? QStringLiteral(", %1 blocked").arg(summary.blocked) : QString();
    return QStringLiteral("%1 done, %2 refused, %3 no reply, %4 skipped%5, %6")
        .arg(summary.done)
        .arg(summary.refused)
        .arg(summary.noReply)
        .arg(summary.skipped)
        .arg(blocked, FormatHms(summary.ms, 0));
}
