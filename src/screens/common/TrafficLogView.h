#pragma once

#include "LinkViews.h"

#include <QPlainTextEdit>
#include <QTimer>

// The coloured traffic log: bytes sent in blue, bytes received in black, on one line per command.
// Appends are gathered and written together a few times a second, so a flood of bytes costs a
// handful of repaints instead of thousands; a plain-text document lays out only what changed.
class TrafficLogView : public QPlainTextEdit
{
    Q_OBJECT
public:
    static constexpr QRgb SentColour = qRgb(0, 0, 255);
    static constexpr QRgb ReceivedColour = qRgb(0, 0, 0);

    explicit TrafficLogView(QWidget* parent = nullptr);

    void append(const QString& text, TrafficDirection direction);
    // Writes what is still gathered; the log's text is complete afterwards.
    void flush();
    // Lines as the operator sees them (a command and its answer share one line).
    int lineCount() const;

private:
    struct Segment
    {
        QString text;
        TrafficDirection direction;
    };
    QList<Segment> m_pending;
    QTimer m_flushTimer;
};
