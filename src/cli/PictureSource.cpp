#include "PictureSource.h"

#include "ControllerQuery.h"
#include "Decoders.h"
#include "FileClassification.h"
#include "SwitchDataFile.h"
#include "SwitchTypeCode.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cctype>

namespace {

constexpr qint64 HeaderBytes = 8;

PictureSource failed(const QString& error)
{
    PictureSource source;
    source.error = error;
    return source;
}

PictureSource hexTextFile(QFile& file, qint16 typeCode)
{
    PictureSource source;
    source.kind = PictureSource::Kind::HexText;
    source.typeCode = typeCode;
    source.data = TextSwitchDataHexText(file.readAll());
    return source;
}

// A switch data file, one with a known header but the wrong length (refused with the length it
// should have), or, when neither, a bitmap still to be judged (error and type left empty).
PictureSource switchDataFile(QFile& file)
{
    const QByteArray firstBytes = file.peek(HeaderBytes);
    PictureSource source;
    source.typeCode = SwitchDataFileType(firstBytes, file.size());
    if (source.typeCode != 0) {
        source.kind = PictureSource::Kind::SwitchData;
        source.data = SwitchDataHexText(source.typeCode, file.readAll());
    } else if (const qint16 named = SwitchDataHeaderType(firstBytes)) {
        source.error =
            QStringLiteral("%1 is not a switch data file: %2 files are %3 bytes, this one is %4")
                .arg(file.fileName(), ControllerSettingText(named))
                .arg(SwitchDataFileLength(named))
                .arg(file.size());
    }
    return source;
}

PictureSource bitmapFile(const QString& path, qint64 length)
{
    const FileClass kind = ClassifyLength(length);
    PictureSource source;
    if (kind.FileKind != FileKind::Bitmap) {
        source =
            failed(QStringLiteral("%1 is not a picture file: no switch picture is %2 bytes long")
                       .arg(path)
                       .arg(length));
        source.kind = PictureSource::Kind::Foreign;
        return source;
    }
    source.typeCode = kind.TypeCode;
    return source;
}

PictureSource judgeFile(const QString& path, qint16 requestedType)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return bitmapFile(path, QFileInfo(path).size());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    if (suffix == QLatin1String("txt"))
        return hexTextFile(file, requestedType);
    PictureSource source = switchDataFile(file);
    if (source.typeCode != 0 || !source.error.isEmpty())
        return source;
    return bitmapFile(path, file.size());
}

} // namespace

PictureSource ReadPictureSource(const QString& path, qint16 requestedType)
{
    if (!QFileInfo(path).isFile())
        return failed(QStringLiteral("cannot read %1: no such file").arg(path));
    PictureSource source = judgeFile(path, requestedType);
    if (source.error.isEmpty() && requestedType != 0 && requestedType != source.typeCode) {
        return failed(QStringLiteral("%1 is a %2 picture, not %3")
                          .arg(path, ControllerSettingText(source.typeCode),
                               ControllerSettingText(requestedType)));
    }
    return source;
}

QString WholePictureProblem(qint16 typeCode, const QString& data)
{
    const auto isHexDigit = [](QChar c) {
        return std::isxdigit(static_cast<unsigned char>(c.toLatin1())) != 0;
    };
    if (!std::all_of(data.begin(), data.end(), isHexDigit))
        return QStringLiteral("its data are not all hex digits");
    const qsizetype wanted = 2 * qsizetype(PayloadBytes(typeCode));
    if (data.size() == wanted)
        return QString();
    return QStringLiteral("its data are %1 hex digits, a %2 picture is %3")
        .arg(data.size())
        .arg(ControllerSettingText(typeCode))
        .arg(wanted);
}
