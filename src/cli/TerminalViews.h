#pragma once

#include "LinkViews.h"

#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

// The progress bar of the status bar, drawn as one line on a terminal. It redraws only when the
// drawn percentage changes: a picture is thousands of pieces, and a terminal that repaints for
// each of them would slow the transfer down.
class ProgressMeter
{
public:
    // Draws on `stream`; with a null stream (not a terminal) it only keeps the values.
    explicit ProgressMeter(std::FILE* stream);

    void setVisible(bool visible);
    void setMaximum(int maximum);
    void setValue(int value);
    void setLabel(const QString& label);
    // Clears the drawn line so other text can be printed; the next change draws it again.
    void interrupt();
    int redraws() const { return m_redraws; }

private:
    int percent() const;
    void draw();

    std::FILE* m_stream;
    bool m_visible = false;
    bool m_drawn = false;
    int m_maximum = 0;
    int m_value = 0;
    int m_drawnPercent = -1;
    int m_redraws = 0;
    QString m_label;
};

// The progress of a batch on one or several ports, drawn as one line: pictures finished of all,
// each port's count when there are several, and the time left of the slowest port at its own
// pace so far. Ports run on threads of their own, so every call may come from any of them.
class BatchProgressLine
{
public:
    // Draws on `stream`; a null stream draws nothing. One share size per port.
    BatchProgressLine(std::FILE* stream, const QStringList& ports, const QList<int>& shareSizes);

    void pictureFinished(int port);
    // Clears the line before the summary is printed.
    void finish();

private:
    void draw();

    QMutex m_mutex;
    std::FILE* m_stream;
    QStringList m_ports;
    QList<int> m_sizes;
    QList<int> m_finished;
    QElapsedTimer m_clock;
};

// Prints a line (a line break is added) on a stream, in the terminal's encoding.
void PrintLine(std::FILE* stream, const QString& text);

// The window as the link sees it, on a terminal: message boxes become lines on standard error,
// the progress bar a redrawn line, the status texts and the controller's identity are kept for
// the command to print, and the traffic log is kept when it is to be shown.
class TerminalShell final : public LinkShell, public LinkScreen
{
public:
    TerminalShell(ProgressMeter& meter, bool keepTraffic);

    // --- LinkShell
    MessageAnswer message(const QString& text, const QString& title, MessageIcon icon,
                          MessageButtons buttons) override;
    void setPanelText(int panel, const QString& text) override;
    void setProgressVisible(bool visible) override;
    void setProgressMaximum(int maximum) override { m_meter.setMaximum(maximum); }
    void setProgressValue(int value) override { m_meter.setValue(value); }
    void setBusyCursor(bool) override {}
    void beep() override {}
    // The link ends the program only when a port fails to open, which the command line has
    // already checked and reported before the link opens it.
    void endProgram() override {}

    // --- LinkScreen
    void setPortStatus(const QString& text) override { m_portStatus = text; }
    void appendTraffic(const QString& text, TrafficDirection direction) override;
    int displayData() const override { return m_displayData; }
    void setDisplayData(int value) override { m_displayData = value; }
    void setCurrentAddressLabel(const QString& text) override { m_meter.setLabel(text); }
    void setPortChoice(int) override {}
    void setControllerName(const QString& text) override { m_controllerName = text; }
    void setFirmwareVersion(const QString& text) override { m_firmwareVersion = text; }
    void setControllerSettingText(const QString& text) override { m_settingText = text; }

    QString panelText(int panel) const { return m_panels[panel]; }
    QString portStatus() const { return m_portStatus; }
    QString traffic() const;
    QString controllerName() const { return m_controllerName; }
    QString firmwareVersion() const { return m_firmwareVersion; }
    QString settingText() const { return m_settingText; }
    int messageCount() const { return m_messageCount; }
    // Called whenever a transfer has ended (the link hides the progress bar then), with the
    // controller's answer in the state.
    void setTransferEndHandler(std::function<void()> handler)
    {
        m_onTransferEnd = std::move(handler);
    }

private:
    ProgressMeter& m_meter;
    bool m_keepTraffic;
    int m_displayData;
    QString m_panels[7]; // status bar panels 1..6
    QString m_portStatus;
    QString m_traffic;
    TrafficDirection m_lastDirection = TrafficDirection::Sent;
    bool m_lineMarked = false;
    QString m_controllerName;
    QString m_firmwareVersion;
    QString m_settingText;
    int m_messageCount = 0;
    std::function<void()> m_onTransferEnd;
};
