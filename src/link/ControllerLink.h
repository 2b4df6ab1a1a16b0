#pragma once

#include "AppState.h"
#include "LinkViews.h"
#include "SerialPort.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <functional>
#include <vector>

class PortCatalog;
class QEventLoop;

// The one owner of the serial port: opens and closes it, writes commands, receives the
// controller's answers, waits for them, and keeps the active screen's traffic log.
// Every wait is a nested event loop, so the window repaints and Cancel, Pause and Quit keep
// working while the program waits for the controller.
class ControllerLink : public QObject
{
    Q_OBJECT
public:
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
    bool OpenPort();
    bool ClosePort();
    // Points the port object at a catalog number without opening it.
    void setPortNumber(int number);
    int portNumber() const { return m_portNumber; }
    bool isPortOpen() const;
    qint64 bytesToWrite() const;
    void setReceiveThreshold(int bytes);
    void setFlowControl(FlowControl flow);
    // The screen contract on activation: close, follow the requested port and speed, reopen.
    void reopenFor(LinkScreen* screen);

    // --- commands and replies
    void SendBytes(const QByteArray& chars);
    void LogSentBytes(const QByteArray& chars);
    void SendHexCommand(const QString& commandText);
    void ReceiveData(const QByteArray& chunk);
    bool WaitForReply();
    void WaitForReady();
    bool ShortDelay();
    // Waits until the port has handed every byte to the line. False when the port closed or the
    // line stalled for longer than the stall limit.
    bool WaitForEmptyOutput();
    // Lets pending window events (clicks, repaints, received bytes) run once.
    void pumpMessages();

    // --- the controller query (ControllerQuery.cpp)
    void QueryController();

    // --- moving a block to the controller (Transfer.cpp)
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
    // The open port stopped working; the link has closed it.
    void portLost(const PortError& error);

private:
    bool waitFor(const std::function<bool()>& done, int timeoutMs);
    void wakeWaits();
    void onReadyRead();
    void deliverReceived();
    void onPortFailed(const PortError& error);
    void handleOpenError(const PortError& error, qint16 oldPort);
    void attach(SerialPort* port);
    // Hands the block to the line two characters at a time, each write drained before the next,
    // until done or stopped. False when the line was lost (port closed or stalled).
    bool streamPieces(const QByteArray& block, qsizetype pieces);
    void beginProgress(qsizetype pieces);
    void awaitTransferReply(bool lineHeld);

    AppState& m_state;
    PortCatalog& m_catalog;
    LinkShell& m_shell;
    LinkScreen* m_screen = nullptr;
    SerialPort* m_port = nullptr;
    int m_portNumber = 0;
    int m_openRetries = 0;
    int m_receiveThreshold = 1;
    bool m_abandoned = false;
    QTimer m_receiveIdle;
    std::vector<QEventLoop*> m_waits;
};
