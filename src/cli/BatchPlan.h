#pragma once

#include "BatchReport.h"
#include "CommandLine.h"

#include <QList>
#include <QString>
#include <QStringList>

// A batch as every port runs it, checked before any port is opened: the folder's pictures in
// the window's order, the address each one goes to, and what an earlier report marks done.
// Lists are numbered 1..N like the batch arrays (element 0 unused).
struct BatchPlan
{
    QString folder; // ends with a separator
    qint16 typeCode = 0;
    QStringList names;
    QStringList addresses;
    // The rows of the --resume reports for pictures they mark done; empty file name otherwise.
    BatchResults resumed;
    QString error; // why the batch cannot be run; the rest is empty then
    int count() const { return int(names.size()) - 1; }
    bool isResumedDone(int index) const { return !resumed.at(index - 1).file.isEmpty(); }
};

BatchPlan PlanBatch(const CliRequest& request);

// What one port runs: files first..last of the plan, and where its report goes.
struct BatchShare
{
    QString port;
    int first = 1;
    int last = 0;
    QString reportPath; // empty: no report
};

// One share per --port: with --split consecutive shares as even as they come (the first ones
// one picture larger), with --each the whole batch. Several ports number their reports
// OUT-1.csv, OUT-2.csv ... in --port order.
QList<BatchShare> ShareBatch(const CliRequest& request, int count);
