#include "ControllerQuery.h"

namespace {
const char* const SettingTexts[] = {"No Setting", "LCD 36x24",  "LCD 64x32",   "OLED 64x48",
                                    "OLED 52x36", "MONO 96x64", "COLOR 96x64", "All Switches"};
// Tried in this order; the first one that occurs splits the name from the version.
const QLatin1Char VersionLetters[] = {QLatin1Char('V'), QLatin1Char('R'), QLatin1Char('D'),
                                      QLatin1Char('H'), QLatin1Char('X')};
} // namespace

QString ControllerSettingText(int setting)
{
    if (setting < 0 || setting > 7)
        return QString();
    return QString::fromLatin1(SettingTexts[setting]);
}

QueryReply ParseQueryReply(const QByteArray& rawReply)
{
    // Spaces, control characters and anything beyond plain ASCII are line noise, not the reply.
    QString t;
    for (char c : rawReply) {
        const uchar code = uchar(c);
        if (code > 32 && code < 127)
            t += QLatin1Char(c);
    }
    QueryReply reply;
    if (t.size() >= 2 && t.at(1).isDigit())
        reply.setting = qint16(t.at(1).digitValue());
    QString body = t.mid(2);
    if (body.endsWith(QLatin1Char('y')))
        body.chop(1);
    for (QLatin1Char letter : VersionLetters) {
        if (body.contains(letter)) {
            reply.named = true;
            reply.info = body.split(letter);
            break;
        }
    }
    return reply;
}
