// Draws the sample pictures built into the program, and the contact sheet that shows them as the
// switches do.
//   vantrel-sampleart <folder>                          writes every sample into <folder>
//   vantrel-sampleart --contact-sheet <png> <folder>    renders the bitmaps of <folder>
#include "BitmapWriter.h"
#include "ContactSheet.h"
#include "Drawings.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

namespace {

// The usual resolution that drawing programs store, 96 dots per inch. Mono pictures are stored
// without one: a mono picture with a resolution is sent inverted.
constexpr qint32 UsualPelsPerMeter = 3780;

int writeSamples(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return std::fprintf(stderr, "cannot create %s\n", qPrintable(folder)), 1;
    for (const SamplePicture& s : DrawSamples()) {
        const bool mono = s.OneBit && s.Size.width() == 96;
        const QByteArray bytes =
            s.OneBit ? OneBitBitmap(s.Picture, s.TrailingBytes, mono ? 0 : UsualPelsPerMeter)
                     : ColourBitmap(s.Picture, s.TrailingBytes, UsualPelsPerMeter);
        QFile file(QDir(folder).filePath(s.FileName));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName())), 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1)
        return writeSamples(args[0]);
    if (args.size() == 3 && args[0] == QLatin1String("--contact-sheet")) {
        const QImage sheet = ContactSheet(args[2]);
        return sheet.save(args[1])
                   ? 0
                   : (std::fprintf(stderr, "cannot write %s\n", qPrintable(args[1])), 1);
    }
    std::fprintf(stderr, "usage: vantrel-sampleart <folder>\n"
                         "       vantrel-sampleart --contact-sheet <png> <folder>\n");
    return 2;
}
