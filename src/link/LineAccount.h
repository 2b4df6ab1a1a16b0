#pragma once

#include <QtGlobal>

// When the characters written so far have left on the line, worked out from the line speed alone.
//
// The operating system's output count says nothing about bytes that a USB adapter's chip holds,
// and a pseudo-terminal reports nothing at all, yet the controller's 100 ms reply window only
// means something once the last character is on its way. So the link keeps this account beside
// the count: each character takes 10 bit times (start bit, 8 data bits, stop bit) and starts at
// the later of its own write and the end of the character before it.
// Times are nanoseconds on any monotonic clock the caller chooses.
class LineAccount
{
public:
    static constexpr qint64 BitsPerCharacter = 10;

    void setSpeed(qint32 bitsPerSecond) { m_bitsPerSecond = bitsPerSecond; }
    // `count` characters were handed to the port at `nowNs`.
    void wrote(qint64 count, qint64 nowNs);
    // Forgets what is still on its way: the port was closed or its buffers dropped.
    void reset() { m_lineFreeNs = 0; }
    // When the last character written so far has left.
    qint64 lineFreeNs() const { return m_lineFreeNs; }
    // How long the line still needs for what has been written; 0 once it is idle.
    qint64 backlogNs(qint64 nowNs) const { return qMax<qint64>(0, m_lineFreeNs - nowNs); }
    qint64 characterNs() const;

private:
    qint32 m_bitsPerSecond = 0;
    qint64 m_lineFreeNs = 0;
};
