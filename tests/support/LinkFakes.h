#pragma once

// Stand-ins for the window side of the link, so link behaviour can be checked without widgets:
// they record every text, colour and message the operator would see.

#include "ControllerLink.h"
#include "LinkViews.h"
#include "PortCatalog.h"
#include "PortEnumerator.h"
#include "SerialPort.h"

#include <QList>
#include <QStringList>

#include <deque>
#include <functional>
#include <utility>

struct ShownMessage
{
    QString text;
    QString title;
    MessageIcon icon;
    MessageButtons buttons;
};

// Message boxes as a test sees them: each is recorded, and answered from the script (OK, or Yes
// to a question, once the script runs out).
struct MessageScript
{
    MessageAnswer answer(const QString& text, const QString& title, MessageIcon icon,
                         MessageButtons buttons)
    {
        messages.append({text, title, icon, buttons});
        if (answers.empty())
            return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Yes;
        const MessageAnswer next = answers.front();
        answers.pop_front();
        return next;
    }
    QStringList messageTexts() const
    {
        QStringList texts;
        for (const ShownMessage& m : messages)
            texts << m.text;
        return texts;
    }
    // "title: text" of every message, as the operator reads the box.
    QStringList shown() const
    {
        QStringList texts;
        for (const ShownMessage& m : messages)
            texts << m.title + QStringLiteral(": ") + m.text;
        return texts;
    }
    // The messages shown so far, which the test now answers for; later ones start a new list.
    QStringList takeShown()
    {
        const QStringList texts = shown();
        messages.clear();
        return texts;
    }
    QList<ShownMessage> takeMessages() { return std::exchange(messages, {}); }

    QList<ShownMessage> messages;
    std::deque<MessageAnswer> answers;
};

class RecordingShell : public LinkShell, public MessageScript
{
public:
    MessageAnswer message(const QString& text, const QString& title, MessageIcon icon,
                          MessageButtons buttons) override
    {
        return answer(text, title, icon, buttons);
    }
    void setPanelText(int panel, const QString& text) override { panels[panel] = text; }
    void setProgressVisible(bool visible) override { progressVisible = visible; }
    void setProgressMaximum(int maximum) override { progressMaximum = maximum; }
    void setProgressValue(int value) override { progressValues.append(value); }
    void setBusyCursor(bool busy) override { busyCursor = busy; }
    void beep() override { ++beeps; }
    void endProgram() override { ++programEnds; }

    QString panels[7];
    bool progressVisible = false;
    int progressMaximum = 0;
    QList<int> progressValues;
    bool busyCursor = false;
    int beeps = 0;
    int programEnds = 0;
};

class RecordingScreen : public LinkScreen
{
public:
    void setPortStatus(const QString& text) override { statusHistory.append(text); }
    void appendTraffic(const QString& text, TrafficDirection direction) override
    {
        (direction == TrafficDirection::Sent ? sent : received) += text;
        log += text;
    }
    int displayData() const override { return displayDataValue; }
    void setDisplayData(int value) override { displayDataValue = value; }
    void setCurrentAddressLabel(const QString& text) override { currentAddress = text; }
    void setPortChoice(int portNumber) override { portChoice = portNumber; }
    void setControllerName(const QString& text) override { controllerName = text; }
    void setFirmwareVersion(const QString& text) override { firmwareVersion = text; }
    void setControllerSettingText(const QString& text) override { settingText = text; }

    QString status() const { return statusHistory.isEmpty() ? QString() : statusHistory.last(); }

    QStringList statusHistory;
    QString sent, received, log;
    int displayDataValue = 1;
    QString currentAddress;
    int portChoice = -1;
    QString controllerName, firmwareVersion, settingText;
};

// The system's serial devices as the test has plugged them in.
class FakePortEnumerator : public PortEnumerator
{
public:
    QList<SystemPort> ports() const override { return plugged; }
    QList<SystemPort> plugged;
};

// A port that records what is written and fails to open as told. Answers are fed by the test.
class ScriptedPort : public SerialPort
{
public:
    bool open() override
    {
        if (openError.kind != PortErrorClass::None)
            return false;
        opened = true;
        ++openCount;
        return true;
    }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    bool setBaudRate(qint32 bps) override
    {
        baudRate = bps;
        return true;
    }
    bool setFlowControl(FlowControl flow) override
    {
        flowControl = flow;
        flowHistory.append(flow);
        return true;
    }
    qint64 write(const QByteArray& bytes) override
    {
        written += bytes;
        writes.append(bytes);
        const QByteArray reply = responder ? responder(bytes) : answer;
        if (!reply.isEmpty()) {
            QMetaObject::invokeMethod(
                this, [this, reply] { feed(reply); }, Qt::QueuedConnection);
        }
        return bytes.size();
    }
    QByteArray readAll() override { return std::exchange(incoming, {}); }
    qint64 bytesAvailable() const override { return incoming.size(); }
    qint64 bytesToWrite() const override { return queued; }
    void discardOutput() override
    {
        queued = 0;
        ++discards;
    }
    PortError lastError() const override { return openError; }

    void feed(const QByteArray& bytes)
    {
        incoming += bytes;
        Q_EMIT readyRead();
    }

    PortError openError;
    QByteArray answer; // sent back after every write, as a controller would
    qint64 queued = 0; // bytes the line does not take (a controller holding XOFF)
    int discards = 0;  // calls of discardOutput()
    std::function<QByteArray(const QByteArray&)> responder; // or decided per write
    QList<FlowControl> flowHistory;
    bool opened = false;
    int openCount = 0;
    qint32 baudRate = 0;
    FlowControl flowControl = FlowControl::None;
    QByteArray written;
    QList<QByteArray> writes;
    QByteArray incoming;
};

// The link wired to the recording stand-ins, as every link test starts it. The link goes before
// the ports it uses.
struct LinkRig
{
    LinkRig() { link.setActiveScreen(&screen); }

    AppState state;
    PortCatalog catalog;
    RecordingShell shell;
    RecordingScreen screen;
    ControllerLink link{state, catalog, shell};
};
