#include "EncoderShape.h"

QString EncodeWithShape(const QString& folderOrPath, const QString& fileName,
                        const QString& fallback, const AppState& state, Prompter& prompter,
                        const QString& failureTitle,
                        const std::function<QString(const BitmapImage&)>& convert)
{
    if (folderOrPath.isEmpty())
        return fallback;
    // Each picture is read afresh, so the mono inversion never carries over from an earlier one.
    BitmapImage image;
    if (!ReadBitmap(folderOrPath + fileName, state.TypeCode, image)) {
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
