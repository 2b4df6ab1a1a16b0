#include "ContactSheet.h"

#include "FileClassification.h"
#include "PictureConversion.h"

#include <QDir>
#include <QFile>
#include <QPainter>

namespace {

constexpr int Scale = 4;
constexpr int Columns = 3;
constexpr int CellWidth = 96 * Scale + 48;
constexpr int CellHeight = 64 * Scale + 84;
constexpr int TitleHeight = 56;
const QColor Page(0x26, 0x29, 0x30);

struct Entry
{
    QString Name;
    qint64 Length = 0;
    FileClass Kind;
    QImage Shown;
};

Entry load(const QFileInfo& info)
{
    Entry e{info.fileName(), info.size(), ClassifyLength(info.size()), {}};
    QFile file(info.filePath());
    if (e.Kind.FileKind == FileKind::Bitmap && file.open(QIODevice::ReadOnly))
        e.Shown = SwitchViewOfBitmap(e.Kind.TypeCode, file.readAll(), true);
    return e;
}

// A switch face: the display inside a dark bezel, centred in its cell, with its labels below.
void drawCell(QPainter& p, const Entry& e, QPoint origin)
{
    const QSize display = e.Shown.size() * Scale;
    const QRect screen(origin + QPoint((CellWidth - display.width()) / 2,
                                       16 + (64 * Scale - display.height()) / 2),
                       display);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x10, 0x11, 0x14));
    p.drawRoundedRect(screen.adjusted(-10, -10, 10, 10), 8, 8);
    p.drawImage(screen, e.Shown);
    p.setPen(QColor(0xee, 0xee, 0xee));
    QFont font = p.font();
    font.setPixelSize(15);
    font.setBold(true);
    p.setFont(font);
    const int textTop = origin.y() + 16 + 64 * Scale + 18;
    p.drawText(QRect(origin.x(), textTop, CellWidth, 20), Qt::AlignHCenter, e.Kind.TypeText);
    font.setBold(false);
    font.setPixelSize(13);
    p.setFont(font);
    p.setPen(QColor(0xb4, 0xb8, 0xc0));
    p.drawText(QRect(origin.x(), textTop + 22, CellWidth, 18), Qt::AlignHCenter,
               QStringLiteral("%1  \u00b7  %2 bytes").arg(e.Name).arg(e.Length));
}

} // namespace

QImage ContactSheet(const QString& folder)
{
    QList<Entry> entries;
    for (const QFileInfo& info : QDir(folder).entryInfoList({"*.bmp"}, QDir::Files, QDir::Name)) {
        Entry e = load(info);
        if (!e.Shown.isNull())
            entries.append(e);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.Kind.TypeCode < b.Kind.TypeCode;
    });
    const int rows = (int(entries.size()) + Columns - 1) / Columns;
    QImage sheet(Columns * CellWidth, TitleHeight + rows * CellHeight, QImage::Format_RGB32);
    sheet.fill(Page);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font = p.font();
    font.setPixelSize(20);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, sheet.width(), TitleHeight), Qt::AlignCenter,
               QStringLiteral("Sample pictures as the switches show them"));
    for (int i = 0; i < entries.size(); ++i)
        drawCell(p, entries[i],
                 {(i % Columns) * CellWidth, TitleHeight + (i / Columns) * CellHeight});
    return sheet;
}
