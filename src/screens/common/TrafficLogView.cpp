#include "TrafficLogView.h"

#include <QTextBlock>
#include <QTextCursor>

namespace {
// Beyond this much gathered text the log is written at once, so memory stays bounded.
constexpr qsizetype MaxPendingChars = 64 * 1024;
// How long appends are gathered: faster than anyone reads, slow enough to cost nothing.
constexpr int FlushIntervalMs = 40;
} // namespace

TrafficLogView::TrafficLogView(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("txtControllerFeedback"));
    setUndoRedoEnabled(false);
    setFont(QFont(QStringLiteral("monospace")));
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(FlushIntervalMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &TrafficLogView::flush);
}

void TrafficLogView::append(const QString& text, TrafficDirection direction)
{
    if (!m_pending.isEmpty() && m_pending.last().direction == direction)
        m_pending.last().text += text;
    else
        m_pending.append({text, direction});
    if (m_pending.last().text.size() > MaxPendingChars)
        flush();
    else if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void TrafficLogView::flush()
{
    m_flushTimer.stop();
    if (m_pending.isEmpty())
        return;
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    for (const Segment& segment : std::exchange(m_pending, {})) {
        QTextCharFormat format;
        format.setForeground(
            QColor(segment.direction == TrafficDirection::Sent ? SentColour : ReceivedColour));
        QString text = segment.text;
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        cursor.insertText(text, format);
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

int TrafficLogView::lineCount() const
{
    return document()->blockCount();
}
