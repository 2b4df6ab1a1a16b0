#pragma once

#include <QString>
#include <QStringList>

#include <functional>

struct AppState;

// Which files of a folder a batch import takes, and the order it lists them in.

// A bitmap (name ending in ".bmp" in any letter case) of a length the type accepts: LCD 36x24
// 254, LCD 64x32 318, OLED 64x48 9270 or 9272, OLED 52x36 9272, MONO 96x64 830 or 832.
// Other types take nothing.
bool AcceptsBatchFile(const QString& fileName, qint64 length, qint16 typeCode);

// What a folder scan asks of the screen as it goes.
class FolderScanObserver
{
public:
    virtual ~FolderScanObserver() = default;
    // Called before each file: lets the window run; false stops the scan (import cancelled).
    virtual bool keepScanning() = 0;
    virtual void showScanStatus(int panel, const QString& text) = 0;
};

// True when the folder holds at least one file the type accepts. Status panel 2 cycles through
// "Importing Images" with zero to three dots every 25 files.
bool CountMatchingFiles(const QString& folder, qint16 typeCode, FolderScanObserver& observer);

// The names (no folder) of the files the type accepts, as elements 1..n (element 0 is empty),
// sorted with QuickSort. Status panel 3 counts them: "12 imported files".
QStringList CollectMatchingFiles(const QString& folder, qint16 typeCode,
                                 FolderScanObserver& observer);

// The batch arrays of AppState, all numbered from 1, for `names` (as CollectMatchingFiles gives
// them) in state.PictureFolder: records of the current type (LCD ones with LED codes "0"/"00"),
// the default addresses 1..N as the assigned ones, every file ticked. `eachFile` runs before each
// file is measured, so a window can stay responsive.
void TakeBatchFiles(AppState& state, const QStringList& names,
                    const std::function<void()>& eachFile = {});

// Sorts list[first..last] in place, ascending by character code (case-sensitive: "B.bmp" before
// "a.bmp"). last = 0 sorts the whole list.
void QuickSort(QStringList& list, qsizetype first = 0, qsizetype last = 0);
