#include "ControllerQuery.h"

#include "ControllerLink.h"

namespace {
const char* const SettingTexts[] = {"No Setting", "LCD 36x24",  "LCD 64x32",   "OLED 64x48",
                                    "OLED 52x36", "MONO 96x64", "COLOR 96x64", "All Switches"};
// Tried in this order; the first one that occurs splits the name from the version.
const QLatin1Char VersionLetters[] = {QLatin1Char('V'), QLatin1Char('R'), QLatin1Char('D'),
                                      QLatin1Char('H'), QLatin1Char('X')};
constexpr int QueryThreshold = 10;
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

void ControllerLink::QueryController()
{
    // The reply arrives as one chunk that begins with 'a'; a shorter answer is no reply at all.
    setReceiveThreshold(QueryThreshold, ShortReplies::Held);
    SendHexCommand(QStringLiteral("265258"));
    WaitForReply();
    setReceiveThreshold(1);

    if (!m_state.ReadyReceived) {
        m_state.ControllerInfo = QStringList{QString()};
        if (m_screen) {
            m_screen->setControllerName(QStringLiteral("No Reply"));
            m_screen->setFirmwareVersion(QString());
            m_screen->setControllerSettingText(QString());
        }
        m_shell.setPanelText(4, QStringLiteral("No controller reply"));
        return;
    }
    m_shell.setPanelText(4, QStringLiteral("Command received"));
    const QueryReply reply = ParseQueryReply(m_state.RawReply);
    m_state.RawReply.clear();
    m_state.ControllerSetting = reply.setting;
    const QString settingText = ControllerSettingText(reply.setting);
    if (m_screen && !settingText.isEmpty())
        m_screen->setControllerSettingText(settingText);
    if (reply.named) {
        m_state.ControllerInfo = reply.info;
        if (m_screen) {
            m_screen->setControllerName(reply.info.value(0));
            m_screen->setFirmwareVersion(reply.info.value(1));
        }
    }
}
