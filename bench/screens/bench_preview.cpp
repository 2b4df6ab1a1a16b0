// Decoding and drawing one "As the switch shows it" preview of a COLOR 96x64 picture: the data a
// download sends, shown by the real widget and grabbed as the window would paint it. Baselines
// measured in the same run: decoding alone, and a plain nearest-neighbour QImage scale of the
// decoded picture to the same zoom. Under QT_SCALE_FACTOR=2 the zoom doubles and the grid is drawn.

#include "AppState.h"
#include "BenchTiming.h"
#include "Decoders.h"
#include "PictureEncoding.h"
#include "Prompter.h"
#include "SamplePictures.h"
#include "SwitchPreview.h"

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr qint16 Colour = SwitchTypeCode::Color96x64;
constexpr double TargetUs = 2000;

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!SeedSamplePictures(dir.path()))
        return std::fprintf(stderr, "the sample pictures could not be written\n"), 1;
    AppState state;
    state.TypeCode = Colour;
    SilentPrompter quiet;
    const QString data = EncodeForType(
        Colour, dir.filePath(QStringLiteral("COLOR 96x64 Mountains.bmp")), state, quiet);

    SwitchPreview preview(QStringLiteral("picSwitchPreview"));
    preview.show();
    preview.showData(Colour, data);
    const int zoom = preview.displayRect().width() * int(preview.devicePixelRatioF()) / 96;
    if (preview.picture().isNull() || zoom < 1)
        return std::fprintf(stderr, "the preview shows no picture\n"), 1;
    const QImage decoded = preview.picture();

    const double decode =
        MicrosecondsPerRun([&] { return DecodeSwitchText(Colour, data).width(); });
    const double scale = MicrosecondsPerRun([&] {
        return decoded.scaled(decoded.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation)
            .width();
    });
    const double shown = MicrosecondsPerRun([&] {
        preview.showData(Colour, data);
        return preview.grab().width();
    });
    const double gridded = MicrosecondsPerRun(
        [&] { return SwitchPreview::drawDisplay(decoded, 4, QColor(0, 0, 0, 150)).width(); });

    std::printf("COLOR 96x64 preview at zoom %d (device pixels per display pixel)\n", zoom);
    std::printf("%-34s %10.1f us\n", "decode alone (baseline)", decode);
    std::printf("%-34s %10.1f us\n", "QImage scale alone (baseline)", scale);
    std::printf("%-34s %10.1f us  %5.1fx decode  %5.1fx scale\n", "decode + draw (widget grab)",
                shown, shown / decode, shown / scale);
    std::printf("%-34s %10.1f us\n", "zoom 4 with grid, drawing alone", gridded);
    std::printf("target: decode + draw under %.0f us: %s\n", TargetUs,
                shown < TargetUs ? "met" : "MISSED");
    return 0;
}
