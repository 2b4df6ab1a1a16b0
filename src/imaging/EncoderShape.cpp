#include "EncoderShape.h"

QString EncodeWithShape(const QString& folderOrPath, const QString& fileName,
                        const QString& fallback, AppState& state, Prompter& prompter,
                        const QString& failureTitle,
                        const std::function<QString(const BitmapImage&)>& convert)
{
    if (folderOrPath.isEmpty())
        return fallback;
    BitmapImage image;
    image.MonoInvertFlag = state.MonoInvertFlag;
    const bool read = ReadBitmap(folderOrPath + fileName, state.TypeCode, image);
    state.MonoInvertFlag = image.MonoInvertFlag;
    if (!read) {
        prompter.message(
            QStringLiteral("Download failed. The selected item is an invalid picture."),
            failureTitle, MessageIcon::Information, MessageButtons::Ok);
        return {};
    }
    return convert(image);
}

QString PictureHexText(qint16 typeCode, const BitmapImage& image, bool leftToRight)
{
    switch (typeCode) {
    case SwitchTypeCode::Lcd36x24:
        return Lcd36x24HexText(image);
    case SwitchTypeCode::Lcd64x32:
        return Lcd64x32HexText(image);
    case SwitchTypeCode::Oled64x48:
    case SwitchTypeCode::Oled52x36:
        return OledHexText(image, leftToRight);
    case SwitchTypeCode::Mono96x64:
        return Mono96x64HexText(image);
    case SwitchTypeCode::Color96x64:
        return Color96x64HexText(image, leftToRight);
    default:
        return {};
    }
}
