// Converting pictures: a 4000 x 3000 photo to every display type, the dialog's preview of a
// 1000 x 1000 picture, and a folder of 1,000 PNGs on all cores. Each figure is set against a
// baseline measured in the same run: Qt decoding the same files, or scaling the same picture.
#include "BenchTiming.h"
#include "FolderConversion.h"
#include "PictureConversion.h"
#include "SamplePhoto.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

namespace {

constexpr int FolderPictures = 1000;

const char* const TypeNames[] = {"LCD 36x24",  "LCD 64x32",  "OLED 64x48",
                                 "OLED 52x36", "MONO 96x64", "COLOR 96x64"};

ConversionSettings photoSettings(qint16 type)
{
    ConversionSettings settings;
    settings.typeCode = type;
    settings.fit = PictureFit::Cover;
    settings.dither = PictureDither::FloydSteinberg;
    return settings;
}

// `run(type)` timed for every display type, with its ratio to `baselineMs`.
template <typename Run> bool everyType(double baselineMs, const char* target, Run run)
{
    std::printf("%-12s %10s %8s\n", "type", "ms", "ratio");
    bool ok = true;
    for (qint16 type = 1; type <= 6; ++type) {
        const double ms = MicrosecondsPerRun([&] { return run(type); }) / 1000;
        ok = ok && ms > 0;
        std::printf("%-12s %10.2f %7.2fx\n", TypeNames[type - 1], ms, ms / baselineMs);
    }
    std::printf("target: %s\n\n", target);
    return ok;
}

bool photoToEveryType(const QString& jpeg)
{
    const double decodeMs = MicrosecondsPerRun([&] { return QImage(jpeg).width(); }) / 1000;
    std::printf("4000 x 3000 JPEG, read and converted (Cover, Floyd-Steinberg); baseline: Qt "
                "decoding it whole, %.1f ms\n",
                decodeMs);
    return everyType(decodeMs, "under 100 ms each", [&](qint16 type) {
        return ConvertToBitmap(ReadSourcePicture(jpeg).image, photoSettings(type)).size();
    });
}

bool previewOfASquare()
{
    const QImage source = SamplePhoto({1000, 1000});
    const double scaleMs =
        MicrosecondsPerRun([&] {
            return source.scaled(96, 64, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).width();
        }) /
        1000;
    std::printf("1000 x 1000 picture, one change of a setting in the dialog (convert, encode, "
                "decode); baseline: one smooth scale of it to 96 x 64, %.2f ms\n",
                scaleMs);
    return everyType(scaleMs, "under 30 ms each", [&](qint16 type) {
        return SwitchViewOfBitmap(type, ConvertToBitmap(source, photoSettings(type)), true).width();
    });
}

bool folderOfPngs(const QTemporaryDir& dir)
{
    const QDir in(dir.filePath(QStringLiteral("pictures")));
    const QDir out(dir.filePath(QStringLiteral("bitmaps")));
    if (!in.mkpath(QStringLiteral(".")) || !out.mkpath(QStringLiteral(".")))
        return false;
    const QString first = in.filePath(QStringLiteral("photo0000.png"));
    if (!SamplePhoto({800, 600}).save(first))
        return false;
    for (int i = 1; i < FolderPictures; ++i) {
        if (!QFile::copy(first,
                         in.filePath(QStringLiteral("photo%1.png").arg(i, 4, 10, QChar(u'0')))))
            return false;
    }
    const QStringList sources = PicturesInFolder(in.path());
    QElapsedTimer timer;
    timer.start();
    qint64 decoded = 0;
    for (const QString& source : sources)
        decoded += QImage(source).width();
    const double decodeS = timer.nsecsElapsed() / 1e9;

    ConversionSettings settings = photoSettings(5);
    timer.restart();
    const QList<ConvertedFile> results =
        ConvertPictureFiles(sources, ConvertedPaths(sources, out.path()), settings).results();
    const double convertS = timer.nsecsElapsed() / 1e9;
    const auto written = std::count_if(results.begin(), results.end(),
                                       [](const ConvertedFile& r) { return r.error.isEmpty(); });
    std::printf("folder of %d PNGs (800 x 600) to MONO 96x64 bitmaps on %d threads; baseline: "
                "decoding them one after another, %.2f s\n",
                FolderPictures, QThread::idealThreadCount(), decodeS);
    std::printf("converted %lld in %.2f s (%.2f ms a picture), ratio %.2fx\n", qint64(written),
                convertS, convertS * 1000 / FolderPictures, convertS / decodeS);
    std::printf("target: under 10 s on 2 cores\n");
    return written == FolderPictures && decoded > 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString jpeg = dir.filePath(QStringLiteral("photo.jpg"));
    if (!SamplePhoto({4000, 3000}).save(jpeg, "JPEG", 90))
        return std::fprintf(stderr, "the photo could not be written\n"), 1;
    const bool ok = photoToEveryType(jpeg) && previewOfASquare() && folderOfPngs(dir);
    return ok ? 0 : 1;
}
