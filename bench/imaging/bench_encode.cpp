// Encode time of one picture per display type, against the literal text walk (LiteralEncoders)
// measured in the same run on the same picture. Both start from the picture already read; the
// last column adds the file read through the encoder's public entry.
#include "Encoders.h"
#include "FileClassification.h"
#include "LiteralEncoders.h"
#include "SamplePictures.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

// Enough repetitions to fill the time budget, so short conversions are timed over many runs.
constexpr qint64 BudgetNs = 300'000'000;

double microsecondsPerRun(const std::function<QString()>& run)
{
    QElapsedTimer timer;
    timer.start();
    qint64 runs = 0;
    qsizetype sink = 0;
    while (timer.nsecsElapsed() < BudgetNs || runs < 3) {
        sink += run().size();
        ++runs;
    }
    const double us = double(timer.nsecsElapsed()) / 1000.0 / double(runs);
    return sink > 0 ? us : -us;
}

class SilentPrompter : public Prompter
{
public:
    MessageAnswer message(const QString&, const QString&, MessageIcon, MessageButtons) override
    {
        return MessageAnswer::Ok;
    }
};

struct Row
{
    const char* Label;
    qint16 TypeCode;
    bool LeftToRight;
    QString Sample;
};

QString encodeFile(qint16 type, const QString& path, bool leftToRight)
{
    AppState state;
    state.TypeCode = type;
    state.LeftToRightFlag = leftToRight;
    SilentPrompter prompter;
    switch (type) {
    case 1:
        return EncodeLcd36x24(path, "", "", state, prompter);
    case 2:
        return EncodeLcd64x32(path, "", "", state, prompter);
    case 5:
        return EncodeMono96x64(path, "", "", state, prompter);
    case 6:
        return EncodeColor96x64(path, "", "", state, prompter);
    default:
        return EncodeOled(path, "", "", state, prompter);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!SeedSamplePictures(dir.path()))
        return std::fprintf(stderr, "the sample pictures could not be written\n"), 1;
    const Row rows[] = {
        {"LCD 36x24", 1, true, "LCD 36x24 Power.bmp"},
        {"LCD 64x32", 2, true, "LCD 64x32 Speaker.bmp"},
        {"OLED 64x48", 3, true, "Koala.bmp"},
        {"OLED 64x48 mirrored", 3, false, "Koala.bmp"},
        {"OLED 52x36", 4, true, "OLED 52x36 Clownfish.bmp"},
        {"MONO 96x64", 5, true, "MONO 96x64 Gears.bmp"},
        {"COLOR 96x64", 6, true, "COLOR 96x64 Mountains.bmp"},
        {"COLOR 96x64 mirrored", 6, false, "COLOR 96x64 Mountains.bmp"},
    };
    std::printf("%-22s %12s %14s %8s %18s\n", "picture", "ours (us)", "literal (us)", "ratio",
                "with read (us)");
    bool ok = true;
    for (const Row& row : rows) {
        const QString path = dir.filePath(row.Sample);
        BitmapImage image;
        if (!ReadBitmap(path, row.TypeCode, image))
            return std::fprintf(stderr, "cannot read %s\n", qPrintable(path)), 1;
        const QString ours = PictureHexText(row.TypeCode, image, row.LeftToRight);
        if (ours != Literal::ForType(row.TypeCode, image, row.LeftToRight)) {
            std::printf("%-22s DIFFERENT RESULT from the literal walk\n", row.Label);
            ok = false;
            continue;
        }
        const double fast = microsecondsPerRun(
            [&] { return PictureHexText(row.TypeCode, image, row.LeftToRight); });
        const double literal = microsecondsPerRun(
            [&] { return Literal::ForType(row.TypeCode, image, row.LeftToRight); });
        const double withRead =
            microsecondsPerRun([&] { return encodeFile(row.TypeCode, path, row.LeftToRight); });
        std::printf("%-22s %12.2f %14.1f %7.0fx %18.2f\n", row.Label, fast, literal, literal / fast,
                    withRead);
    }
    std::printf(
        "target: every picture well under 1000 us, at least 20x faster than the literal walk\n");
    return ok ? 0 : 1;
}
