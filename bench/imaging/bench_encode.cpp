// Encode time of one picture per display type, against the literal text walk (LiteralEncoders)
// measured in the same run on the same picture. Both start from the picture already read; the
// last column adds the file read through the encoder's public entry.
#include "BenchTiming.h"
#include "Encoders.h"
#include "FileClassification.h"
#include "LiteralEncoders.h"
#include "SamplePictures.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

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
        const double fast = MicrosecondsPerRun(
            [&] { return PictureHexText(row.TypeCode, image, row.LeftToRight).size(); });
        const double literal = MicrosecondsPerRun(
            [&] { return Literal::ForType(row.TypeCode, image, row.LeftToRight).size(); });
        const double withRead = MicrosecondsPerRun(
            [&] { return encodeFile(row.TypeCode, path, row.LeftToRight).size(); });
        std::printf("%-22s %12.2f %14.1f %7.0fx %18.2f\n", row.Label, fast, literal, literal / fast,
                    withRead);
    }
    std::printf(
        "target: every picture well under 1000 us, at least 20x faster than the literal walk\n");
    return ok ? 0 : 1;
}
