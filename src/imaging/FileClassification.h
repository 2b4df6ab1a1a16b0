#pragma once

#include "AppState.h"
#include "PictureFileRecord.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QString>

#include <functional>

// What the program learns of a chosen file before classifying it: its folder and the file itself.
struct FileObjects
{
    QFileInfo Folder;
    QFileInfo File;
};

// Looks up the folder (derived from `path` up to its last separator when `folder` is empty) and
// the file. True when both exist; otherwise false and `objects` keeps what it held.
bool OpenFileObjects(const QString& path, QString folder, FileObjects& objects);

// The LCD 64x32 attribute editor's current LED and colour values, which new LCD 64x32 pictures
// take as their defaults. The editor implements it; until one exists the initial values apply.
class Lcd64x32Defaults
{
public:
    virtual ~Lcd64x32Defaults() = default;
    virtual QString LEDon() const = 0;
    virtual QString LEDoff() const = 0;
    virtual QString BackgroundColoron() const = 0;
    virtual QString BackgroundColoroff() const = 0;
};

// A freshly opened editor: every LED slider at its lowest position (LED code "03", the two low bits
// always set) and both preview boxes black ("0").
class InitialLcd64x32Defaults : public Lcd64x32Defaults
{
public:
    QString LEDon() const override { return QStringLiteral("03"); }
    QString LEDoff() const override { return QStringLiteral("03"); }
    QString BackgroundColoron() const override { return QStringLiteral("0"); }
    QString BackgroundColoroff() const override { return QStringLiteral("0"); }
};

namespace FileKind {
constexpr qint16 Bitmap = 1;
constexpr qint16 Text = 2;
constexpr qint16 SwitchData = 3;
} // namespace FileKind

// What a file of this exact length is.
struct FileClass
{
    qint16 TypeCode = SwitchTypeCode::Text;
    qint16 FileKind = FileKind::Text;
    QString TypeText = QStringLiteral("text");
};
FileClass ClassifyLength(qint64 length);

// Lets the window run while a list of records is walked: called once per record visited, it runs
// pending window events whenever YieldIntervalMs have passed since it last did. A list of
// thousands so stays live (Cancel, repaints) without paying a pass of the event loop per record.
class WindowYield
{
public:
    static constexpr int YieldIntervalMs = 10;
    void operator()();

private:
    QElapsedTimer m_sinceEvents;
};
using RecordYield = std::function<void()>;

// Fills record `n` (1-based) from the file, growing the array by one when no record holds the
// file's path yet (and to `n` if it is still shorter). The state's attribute lists grow with it
// and never shrink. Only LCD 64x32 bitmaps take the editor's defaults. False, with nothing
// changed, for an `n` below 1. `yield` runs once per record compared.
bool ClassifyFile(PictureFileRecords& records, const QFileInfo& file, int n, AppState& state,
                  const Lcd64x32Defaults& defaults, const RecordYield& yield = WindowYield());

// The `Index` of the first record 1.. whose `Path` equals `text` exactly; 0 when none does.
// `yield` runs once per record compared.
qint32 FindRecordByPath(const PictureFileRecords& records, const QString& text,
                        const RecordYield& yield = WindowYield());
