#pragma once

#include "AppState.h"
#include "ControllerMemory.h"
#include "LineAccount.h"
#include "LinkViews.h"
#include "SerialPort.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <functional>
#include <optional>
#include <vector>

class PortCatalog;
class PortEnumerator;
class QEventLoop;

// The one owner of the serial port: opens and closes it, writes commands, receives the
// controller's answers, waits for them, and keeps the active screen's traffic log.
// Every wait is a nested event loop, so the window repaints and Cancel, Pause and Quit keep
// working while the program waits for the controller.
class ControllerLink : public QObject
{
    Q_OBJECT
public:
    // How a wait for the line ended: everything written has left, the port is gone, or the line
    // took nothing for the stall limit.
    enum class LineState { Clear, Lost, Blocked };
    // A transfer that ended because the line stopped taking data.
    struct LineBlock
    {
        int seconds = 0;
        qint64 sent = 0;  // characters that left
        qint64 total = 0; // characters of the block
        // What the port status box says when a transfer ended so (a controller holding XOFF,
        // or no longer reading).
        QString text() const;
    };

    ControllerLink(AppState& state, PortCatalog& catalog, LinkShell& shell,
                   QObject* parent = nullptr);
    ~ControllerLink() override;

    AppState& state() { return m_state; }
    LinkShell& shell() { return m_shell; }
    PortCatalog& catalog() { return m_catalog; }

    void setActiveScreen(LinkScreen* screen) { m_screen = screen; }
    LinkScreen* activeScreen() const { return m_screen; }

    // --- the port
    bool EnumeratePorts();
    // Looks at the system's ports again. Adapters plugged in since join the port list; pulled-out
    // ones stay listed, marked absent, under their numbers. The open port is left alone: losing
    // it is reported by the port itself.
    void refreshPorts(const PortEnumerator& enumerator);
    // Puts a catalog number into the port list, in number order, so every screen offers it.
    void listPort(int number);
    bool OpenPort();
    bool ClosePort();
    // Points the port object at a catalog number without opening it.
    void setPortNumber(int number);
    int portNumber() const { return m_portNumber; }
    bool isPortOpen() const;
    // What has not left the machine yet: the port's buffer and the system's output queue.
    qint64 bytesToWrite() const;
    // What happens to fewer bytes than the threshold: delivered after a short quiet gap, or held
    // back until the threshold is reached (the controller query takes a shorter answer as none).
    // Once a chunk has been delivered, the rest of that answer follows after the quiet gap.
    enum class ShortReplies { AfterIdleGap, Held };
    void setReceiveThreshold(int bytes, ShortReplies shortReplies = ShortReplies::AfterIdleGap);
    void setFlowControl(FlowControl flow);
    // The screen contract on activation: close, follow the requested port and speed, reopen.
    void reopenFor(LinkScreen* screen);

    // --- commands and replies
    void SendBytes(const QByteArray& chars);
    void LogSentBytes(const QByteArray& chars);
    void SendHexCommand(const QString& commandText);
    // A command that waits for its own answer starts here: an answer left over from an earlier
    // command (the query's "y", say) must not end its wait before the controller has spoken, nor
    // a block an earlier command met count as its own.
    void beginCommand();
    void ReceiveData(const QByteArray& chunk);
    bool WaitForReply();
    void WaitForReady();
    bool ShortDelay();
    // Waits until at most aheadMs of line time of what was written has yet to leave, by the
    // output count and by the line-time account.
    LineState WaitForEmptyOutput(int aheadMs);
    // The last command ended because the line was blocked (its output then dropped, so the next
    // command does not go out behind it); empty after any other end.
    std::optional<LineBlock> lineBlocked() const { return m_lineBlock; }
    // Lets pending window events (clicks, repaints, received bytes) run once.
    void pumpMessages();

    // --- the controller query
    void QueryController();

    // --- moving a block to the controller (ControllerLinkTransfer.cpp)
    // The file the next picture transfer comes from, for its report; that transfer consumes it.
    void setTransferSource(const QString& path) { m_transferSource = path; }
    void TransferData(bool withTypeLetter, const QString& addressText, const QString& data);
    void TransferText(const QByteArray& data);

    // --- requests from buttons; they wake any running wait so it ends at once
    void requestCancel();
    void requestStop();
    // The program is ending: every wait returns at once from now on.
    void abandonWaits();

    // Status texts the screens repeat.
    QString openStatusText() const;
    void setPortStatus(const QString& text);
    void appendTraffic(const QString& text, TrafficDirection direction);

Q_SIGNALS:
    // The port list or what it says about a port changed.
    void portListChanged();
    // The open port stopped working; the link has closed it.
    void portLost(const PortError& error);
    // A reply window starts now: what was written has left on the line.
    void replyWindowOpened();
    // A picture transfer to `address` of the current type begins, and how it ended.
    void transferStarted(qint16 typeCode, quint16 address);
    void transferFinished(const TransferReport& report);

private:
    void insertIntoPortList(int number);
    bool waitFor(const std::function<bool()>& done, int timeoutMs);
    // Waits until no more than `allowedNs` of line time is still to leave, or `answered` holds.
    LineState waitForLine(qint64 allowedNs, const std::function<bool()>& answered);
    // Before a reply or ready window: everything written must have left, unless the answer is in.
    LineState waitForLineClear(const std::function<bool()>& answered);
    // The line took nothing for the stall limit: the block is kept for the caller and shown in
    // the port status box, and what did not leave is dropped.
    void noteBlocked(qint64 sent, qint64 total);
    void wakeWaits();
    void onReadyRead();
    void deliverReceived();
    void onPortFailed(const PortError& error);
    void handleOpenError(const PortError& error, qint16 oldPort);
    void attach(SerialPort* port);
    // Hands the block to the line two characters at a time, each write drained before the next,
    // until done or stopped. False when the line was lost (port closed or stalled).
    LineState streamPieces(const QByteArray& block, qsizetype pieces, int aheadMs);
    void beginProgress(qsizetype pieces);
    void awaitTransferReply(LineState line);

    AppState& m_state;
    PortCatalog& m_catalog;
    LinkShell& m_shell;
    LinkScreen* m_screen = nullptr;
    SerialPort* m_port = nullptr;
    int m_portNumber = 0;
    int m_openRetries = 0;
    int m_receiveThreshold = 1;
    ShortReplies m_shortReplies = ShortReplies::AfterIdleGap;
    bool m_deliveredSinceThreshold = false;
    bool m_abandoned = false;
    QTimer m_receiveIdle;
    std::vector<QEventLoop*> m_waits;
    LineAccount m_line;
    std::optional<LineBlock> m_lineBlock;
    qint64 m_commandBytes = 0; // characters written since the command began
    QString m_transferSource;
};
