#include "BatchFiles.h"

#include "AppState.h"
#include "Conversions.h"

#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

namespace {

// The status texts change only every so many files, so a large folder costs few repaints.
constexpr int StatusEvery = 25;
constexpr int StatusDots = 4;

struct AcceptedLength
{
    qint16 typeCode;
    qint64 length;
};

// OLED 52x36 batches take OLED 64x48-sized files; the 5672-byte 52x36 bitmaps are not taken.
constexpr AcceptedLength AcceptedLengths[] = {
    {SwitchTypeCode::Lcd36x24, 254},   {SwitchTypeCode::Lcd64x32, 318},
    {SwitchTypeCode::Oled64x48, 9270}, {SwitchTypeCode::Oled64x48, 9272},
    {SwitchTypeCode::Oled52x36, 9272}, {SwitchTypeCode::Mono96x64, 830},
    {SwitchTypeCode::Mono96x64, 832},
};

// Visits the folder's files (not its sub-folders) until the observer stops the scan; `visit`
// returns false to end the scan early.
template <typename Visit>
void scanFolder(const QString& folder, FolderScanObserver& observer, Visit visit)
{
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (files.hasNext()) {
        files.next();
        if (!observer.keepScanning() || !visit(files.fileInfo()))
            return;
    }
}

} // namespace

bool AcceptsBatchFile(const QString& fileName, qint64 length, qint16 typeCode)
{
    if (!fileName.right(4).toUpper().endsWith(QLatin1String(".BMP")))
        return false;
    return std::any_of(std::begin(AcceptedLengths), std::end(AcceptedLengths),
                       [&](const AcceptedLength& accepted) {
                           return accepted.typeCode == typeCode && accepted.length == length;
                       });
}

bool CountMatchingFiles(const QString& folder, qint16 typeCode, FolderScanObserver& observer)
{
    bool found = false;
    int seen = 0;
    scanFolder(folder, observer, [&](const QFileInfo& file) {
        ++seen;
        if (seen % StatusEvery == 0) {
            const int dots = (seen / StatusEvery - 1) % StatusDots;
            observer.showScanStatus(2, QStringLiteral("Importing Images") +
                                           QString(dots, QLatin1Char('.')));
        }
        found = found || AcceptsBatchFile(file.fileName(), file.size(), typeCode);
        return true;
    });
    return found;
}

QStringList CollectMatchingFiles(const QString& folder, qint16 typeCode,
                                 FolderScanObserver& observer)
{
    QStringList names{QString()};
    observer.showScanStatus(3, QStringLiteral("0 imported files"));
    scanFolder(folder, observer, [&](const QFileInfo& file) {
        if (AcceptsBatchFile(file.fileName(), file.size(), typeCode)) {
            names.append(file.fileName());
            observer.showScanStatus(3, QStringLiteral("%1 imported files").arg(names.size() - 1));
        }
        return true;
    });
    if (names.size() > 2)
        QuickSort(names, 1, names.size() - 1);
    return names;
}

void TakeBatchFiles(AppState& state, const QStringList& names,
                    const std::function<void()>& eachFile)
{
    const int count = int(names.size()) - 1;
    state.BatchFileNames = names;
    state.BatchRecords = PictureFileRecords(count + 1);
    for (int i = 1; i <= count; ++i) {
        PictureFileRecord& record = state.BatchRecords[i];
        record.Index = i;
        record.Path = names.at(i);
        record.FileLength = qint32(QFileInfo(state.PictureFolder + names.at(i)).size());
        if (eachFile)
            eachFile();
        record.TypeCode = state.TypeCode;
        if (state.TypeCode == SwitchTypeCode::Lcd36x24 ||
            state.TypeCode == SwitchTypeCode::Lcd64x32)
            record.LEDon = record.LEDoff = state.TypeCode == SwitchTypeCode::Lcd36x24
                                               ? QStringLiteral("0")
                                               : QStringLiteral("00");
    }
    state.DefaultAddressList = MakeAddressList(count, state.TypeCode);
    state.AssignedAddresses = state.DefaultAddressList;
    state.CheckedFlags = QList<bool>(count + 1, true);
    state.CheckedFlags[0] = false;
}

void QuickSort(QStringList& list, qsizetype first, qsizetype last)
{
    if (last == 0) {
        first = 0;
        last = list.size() - 1;
    }
    while (first < last) {
        const QString pivot = list.at((first + last) / 2);
        qsizetype lo = first;
        qsizetype hi = last;
        while (lo <= hi) {
            while (list.at(lo) < pivot && lo < last)
                ++lo;
            while (pivot < list.at(hi) && hi > first)
                --hi;
            if (lo <= hi) {
                list.swapItemsAt(lo, hi);
                ++lo;
                --hi;
            }
        }
        // The smaller part is sorted by recursion and the larger one by the loop, so the depth
        // stays logarithmic however the names fall.
        if (hi - first < last - lo) {
            if (first < hi)
                QuickSort(list, first, hi);
            first = lo;
        } else {
            if (lo < last)
                QuickSort(list, lo, last);
            last = hi;
        }
    }
}
