#include "PictureEncoding.h"

#include "Encoders.h"

QString EncodePictureFile(qint16 typeCode, const QString& path, AppState& state, Prompter& prompter)
{
    switch (typeCode) {
    case SwitchTypeCode::Lcd36x24:
        return EncodeLcd36x24(path, QString(), QString(), state, prompter);
    case SwitchTypeCode::Lcd64x32:
        return EncodeLcd64x32(path, QString(), QString(), state, prompter);
    case SwitchTypeCode::Oled64x48:
    case SwitchTypeCode::Oled52x36:
        return EncodeOled(path, QString(), QString(), state, prompter);
    case SwitchTypeCode::Mono96x64:
        return EncodeMono96x64(path, QString(), QString(), state, prompter);
    case SwitchTypeCode::Color96x64:
        return EncodeColor96x64(path, QString(), QString(), state, prompter);
    default:
        return QString();
    }
}

QString EncodeDownloadBlock(const PictureFileRecord& record, AppState& state, Prompter& prompter)
{
    const QString picture = EncodePictureFile(state.TypeCode, record.Path, state, prompter);
    if (state.TypeCode == SwitchTypeCode::Lcd36x24)
        return Lcd36x24PictureBlock(picture, record.LEDoff, record.LEDon);
    return picture;
}

QString EncodeForType(qint16 typeCode, const QString& path, AppState& state, Prompter& prompter)
{
    const QString picture = EncodePictureFile(typeCode, path, state, prompter);
    if (picture.isEmpty() || typeCode != SwitchTypeCode::Lcd36x24)
        return picture;
    return Lcd36x24PictureBlock(picture, QStringLiteral("0"), QStringLiteral("0"));
}
