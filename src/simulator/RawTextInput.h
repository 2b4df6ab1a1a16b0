#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// The controller's input for raw text: it holds a number of characters and empties at a steady
// rate (the board shows or passes on what it receives). It asks the program to pause with XOFF
// shortly before it is full, so that characters already on their way still fit, and to go on with
// XON once it is half empty. A character that arrives while it is full is lost.
class RawTextInput : public QObject
{
    Q_OBJECT
public:
    explicit RawTextInput(QObject* parent = nullptr);

    // Both at least 1.
    void setSize(int capacity, int charsPerSecond);
    // False when the input was full and the character is lost.
    bool take();
    bool pauseRequested() const { return m_paused; }
    void clear();

Q_SIGNALS:
    // XOFF or XON, to be sent to the program.
    void flowControl(char byte);

private:
    void drain();
    int highWater() const;
    int lowWater() const { return m_capacity / 2; }

    int m_capacity = 1;
    int m_rate = 1;
    double m_fill = 0; // characters held; the one being taken out counts in part
    bool m_paused = false;
    QElapsedTimer m_clock;
    QTimer m_drainTick;
};
