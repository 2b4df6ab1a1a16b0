#include "PictureEncoding.h"

#include "AppState.h"
#include "Encoders.h"

QString EncodeDownloadBlock(const PictureFileRecord& record, const AppState& state,
                            Prompter& prompter)
{
    const QString& path = record.Path;
    switch (state.TypeCode) {
    case SwitchTypeCode::Lcd36x24:
        return Lcd36x24PictureBlock(EncodeLcd36x24(path, QString(), QString(), state, prompter),
                                    record.LEDoff, record.LEDon);
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
