#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>

class QSocketNotifier;
class VirtualController;

// Puts a VirtualController behind a POSIX pseudo-terminal, so that a real serial port object
// (QSerialPort) opens devicePath() and talks to it through the operating system's tty layer.
//
// The tty line discipline of the device side does what a serial driver does: with software flow
// control on there, the controller's XOFF really stops the program's output until XON. Whether
// the program has flow control on is read from the device side's settings before every read, and
// tells the controller to take what arrives as raw text.
//
// A pseudo-terminal takes whatever is written at once; a line speed set here only slows how fast
// the controller reads, so that it receives the bytes (and answers) when a real line would.
class PtyServer : public QObject
{
    Q_OBJECT
public:
    explicit PtyServer(VirtualController& controller, QObject* parent = nullptr);
    ~PtyServer() override;

    // Opens the pseudo-terminal. False, with errorString() saying why, when the system has none.
    bool start();
    bool isRunning() const { return m_master >= 0; }
    QString devicePath() const { return m_path; }
    QString errorString() const { return m_error; }
    // The controller reads at most bitsPerSecond / 10 bytes per second; 0 reads as they come.
    void setLineSpeed(qint32 bitsPerSecond) { m_speed = bitsPerSecond; }

    // The device disappears: the pseudo-terminal is closed, and a port that has it open fails.
    void vanish();

Q_SIGNALS:
    void vanished();

private:
    void onReadable();
    void onControllerBytes(const QByteArray& bytes);
    void flushOutput();
    bool hostUsesXonXoff() const;
    bool bytesOnTheWay() const;
    void closeDevice();
    void fail(const QString& what);

    QPointer<VirtualController> m_controller;
    int m_master = -1;
    // The server keeps the device side open itself, so that the pseudo-terminal lives on while no
    // program has it open (the master side would otherwise read as hung up).
    int m_deviceKeeper = -1;
    QString m_path;
    QString m_error;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    QByteArray m_pendingOut;

    qint32 m_speed = 0;
    QElapsedTimer m_clock;
    qint64 m_lineFreeNs = 0; // on m_clock: when the bytes read so far have come down the line
    bool m_lineBusy = false; // the last read left bytes waiting
    QTimer m_readResume;
};
