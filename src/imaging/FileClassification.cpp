#include "FileClassification.h"

#include <QCoreApplication>

#include <algorithm>
#include <limits>

namespace {

struct LengthRow
{
    qint64 Length;
    qint16 TypeCode;
    qint16 FileKind;
    const char* TypeText;
};

// The file length alone decides what a file is; width and height are never looked at.
constexpr LengthRow LengthTable[] = {
    {254, SwitchTypeCode::Lcd36x24, FileKind::Bitmap, "LCD 36x24"},
    {318, SwitchTypeCode::Lcd64x32, FileKind::Bitmap, "LCD 64x32"},
    {264, SwitchTypeCode::Lcd64x32, FileKind::SwitchData, "LCD 64x32 SD"},
    {9270, SwitchTypeCode::Oled64x48, FileKind::Bitmap, "OLED 64x48"},
    {9272, SwitchTypeCode::Oled64x48, FileKind::Bitmap, "OLED 64x48"},
    {6152, SwitchTypeCode::Oled64x48, FileKind::SwitchData, "OLED 64x48 SD"},
    {5672, SwitchTypeCode::Oled52x36, FileKind::Bitmap, "OLED 52x36"},
    {3752, SwitchTypeCode::Oled52x36, FileKind::SwitchData, "OLED 52x36 SD"},
    {830, SwitchTypeCode::Mono96x64, FileKind::Bitmap, "MONO 96x64"},
    {832, SwitchTypeCode::Mono96x64, FileKind::Bitmap, "MONO 96x64"},
    {776, SwitchTypeCode::Mono96x64, FileKind::SwitchData, "MONO 96x64 SD"},
    {18486, SwitchTypeCode::Color96x64, FileKind::Bitmap, "COLOR 96x64"},
    {18488, SwitchTypeCode::Color96x64, FileKind::Bitmap, "COLOR 96x64"},
    {12296, SwitchTypeCode::Color96x64, FileKind::SwitchData, "COLOR 96x64 SD"},
};

constexpr qint64 Lcd64x32BitmapLength = 318;

// Folders are written with "\" on the operator's side of the program and "/" by Qt; either ends
// the folder part of a path.
QString folderOf(const QString& path)
{
    const qsizetype cut = qMax(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.left(cut + 1);
}

template <typename List> void growTo(List& list, qsizetype size)
{
    if (list.size() < size)
        list.resize(size);
}

// The position 1.. of the first record whose `Path` is `text`; 0 when none is.
qsizetype positionOf(const PictureFileRecords& records, const QString& text,
                     const RecordYield& yield)
{
    for (qsizetype i = 1; i < records.size(); ++i) {
        if (yield)
            yield();
        if (records[i].Path == text)
            return i;
    }
    return 0;
}

} // namespace

bool OpenFileObjects(const QString& path, QString folder, FileObjects& objects)
{
    if (folder.isEmpty())
        folder = folderOf(path);
    const QFileInfo folderInfo(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QFileInfo fileInfo(path);
    if (!folderInfo.isDir() || !fileInfo.isFile())
        return false;
    objects = {folderInfo, fileInfo};
    return true;
}

FileClass ClassifyLength(qint64 length)
{
    for (const LengthRow& row : LengthTable)
        if (row.Length == length)
            return {row.TypeCode, row.FileKind, QString::fromLatin1(row.TypeText)};
    return {};
}

void WindowYield::operator()()
{
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < YieldIntervalMs)
        return;
    if (m_sinceEvents.isValid())
        QCoreApplication::processEvents();
    m_sinceEvents.start();
}

bool ClassifyFile(PictureFileRecords& records, const QFileInfo& file, int n, AppState& state,
                  const Lcd64x32Defaults& defaults, const RecordYield& yield)
{
    if (n < 1)
        return false;
    QFileInfo current(file);
    current.refresh(); // the length as it is now, not when the file was chosen
    const QString path = current.absoluteFilePath();

    growTo(records, 1); // element 0 is the unused placeholder
    const bool known = positionOf(records, path, yield) != 0;
    if (!known)
        records.resize(records.size() + 1);
    growTo(records, n + 1);
    growTo(state.SwitchingAttributesList, records.size());
    growTo(state.SwitchCountList, records.size());

    PictureFileRecord& record = records[n];
    record.Index = n;
    record.Path = path;
    record.Name = current.fileName();
    record.FileLength = qint32(qMin<qint64>(current.size(), std::numeric_limits<qint32>::max()));
    const FileClass kind = ClassifyLength(current.size());
    record.TypeCode = kind.TypeCode;
    record.FileKind = kind.FileKind;
    if (current.size() == Lcd64x32BitmapLength) {
        record.LEDon = defaults.LEDon();
        record.LEDoff = defaults.LEDoff();
        record.BackgroundColoron = defaults.BackgroundColoron();
        record.BackgroundColoroff = defaults.BackgroundColoroff();
    }
    record.TypeText = kind.TypeText;
    return true;
}

qint32 FindRecordByPath(const PictureFileRecords& records, const QString& text,
                        const RecordYield& yield)
{
    const qsizetype position = positionOf(records, text, yield);
    return position == 0 ? 0 : records[position].Index;
}
