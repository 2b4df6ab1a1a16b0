#include "TerminalViews.h"

#include "BatchArithmetic.h"

#include <QRegularExpression>

namespace {

constexpr int BarCells = 30;

// Message boxes separate their lines with CR LF or CR; a terminal wants LF.
QString terminalLines(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
}

QString barOf(int percent)
{
    const int filled = percent * BarCells / 100;
    return QString(filled, u'#') + QString(BarCells - filled, u'.');
}

} // namespace

void PrintLine(std::FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().append('\n').constData(), stream);
}

ProgressMeter::ProgressMeter(std::FILE* stream)
    : m_stream(stream)
{
}

void ProgressMeter::setVisible(bool visible)
{
    if (!visible)
        interrupt();
    m_visible = visible;
    m_drawnPercent = -1;
}

void ProgressMeter::setMaximum(int maximum)
{
    m_maximum = maximum;
}

void ProgressMeter::setValue(int value)
{
    m_value = value;
    if (m_visible && (!m_drawn || percent() != m_drawnPercent))
        draw();
}

void ProgressMeter::setLabel(const QString& label)
{
    m_label = label;
}

int ProgressMeter::percent() const
{
    return m_maximum > 0 ? int(qBound(0LL, 100LL * m_value / m_maximum, 100LL)) : 0;
}

void ProgressMeter::draw()
{
    m_drawnPercent = percent();
    m_drawn = true;
    ++m_redraws;
    if (!m_stream)
        return;
    QString line = QStringLiteral("\r[%1] %2%").arg(barOf(m_drawnPercent)).arg(m_drawnPercent, 3);
    if (!m_label.isEmpty())
        line += QStringLiteral("  address ") + m_label;
    std::fputs(line.toLocal8Bit().constData(), m_stream);
    std::fflush(m_stream);
}

void ProgressMeter::interrupt()
{
    if (m_drawn && m_stream) {
        std::fputs("\r\033[K", m_stream);
        std::fflush(m_stream);
    }
    m_drawn = false;
}

TerminalShell::TerminalShell(ProgressMeter& meter, bool keepTraffic)
    : m_meter(meter)
    , m_keepTraffic(keepTraffic)
    , m_displayData(keepTraffic ? 1 : 0)
{
}

MessageAnswer TerminalShell::message(const QString& text, const QString& title, MessageIcon,
                                     MessageButtons buttons)
{
    m_meter.interrupt();
    ++m_messageCount;
    PrintLine(stderr, terminalLines(title.isEmpty() ? text : title + QStringLiteral(": ") + text));
    // Nobody is there to answer: a question is taken as "go ahead", as the operator who typed
    // the command asked for it.
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
}

void TerminalShell::setProgressVisible(bool visible)
{
    m_meter.setVisible(visible);
    if (!visible && m_onTransferEnd)
        m_onTransferEnd();
}

void TerminalShell::setPanelText(int panel, const QString& text)
{
    if (panel >= 1 && panel <= 6)
        m_panels[panel] = text;
}

void TerminalShell::appendTraffic(const QString& text, TrafficDirection direction)
{
    if (!m_keepTraffic)
        return;
    // Without the log's colours, a mark shows who speaks wherever that changes on a line.
    if (text.contains(u'\n')) {
        m_lineMarked = false;
    } else if (!text.trimmed().isEmpty() && (!m_lineMarked || direction != m_lastDirection)) {
        m_traffic +=
            direction == TrafficDirection::Sent ? QStringLiteral("> ") : QStringLiteral("< ");
        m_lastDirection = direction;
        m_lineMarked = true;
    }
    m_traffic += text;
}

QString TerminalShell::traffic() const
{
    static const QRegularExpression lineEndSpaces(QStringLiteral(" +\n"));
    return terminalLines(m_traffic).replace(lineEndSpaces, QStringLiteral("\n")).trimmed();
}

BatchProgressLine::BatchProgressLine(std::FILE* stream, const QStringList& ports,
                                     const QList<int>& shareSizes)
    : m_stream(stream)
    , m_ports(ports)
    , m_sizes(shareSizes)
    , m_finished(shareSizes.size(), 0)
{
    m_clock.start();
}

void BatchProgressLine::pictureFinished(int port)
{
    const QMutexLocker lock(&m_mutex);
    ++m_finished[port];
    draw();
}

void BatchProgressLine::finish()
{
    const QMutexLocker lock(&m_mutex);
    if (m_stream) {
        std::fputs("\r\033[K", m_stream);
        std::fflush(m_stream);
    }
}

void BatchProgressLine::draw()
{
    if (!m_stream)
        return;
    int finished = 0;
    int total = 0;
    qint64 leftMs = 0;
    QString perPort;
    for (qsizetype p = 0; p < m_sizes.size(); ++p) {
        finished += m_finished.at(p);
        total += m_sizes.at(p);
        qint64 done = m_finished.at(p);
        leftMs = qMax(leftMs,
                      EstimateRemainingTime(0, m_clock.elapsed(), done, m_sizes.at(p)).RemainingMs);
        if (m_sizes.size() > 1)
            perPort += QStringLiteral("  %1 %2/%3")
                           .arg(m_ports.at(p))
                           .arg(m_finished.at(p))
                           .arg(m_sizes.at(p));
    }
    const int percent = total > 0 ? 100 * finished / total : 100;
    const QString line = QStringLiteral("\r[%1] %2/%3 pictures%4  time left %5\033[K")
                             .arg(barOf(percent))
                             .arg(finished)
                             .arg(total)
                             .arg(perPort, FormatHms(leftMs, 0));
    std::fputs(line.toLocal8Bit().constData(), m_stream);
    std::fflush(m_stream);
}
