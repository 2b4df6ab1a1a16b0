#pragma once

#include <QWidget>

class ControllerLink;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class TrafficLogView;

// The traffic log of a screen: "display data" (echo what is sent), the "Clear" button and the
// coloured log, optionally with the manual command entry above them. Enter in the entry sends it;
// the first Enter after typing also ends the line, further Enters resend without adding empty
// lines, and typing a digit or letter starts that count again. A command is refused while a
// download runs: it would land in the middle of the picture data.
class TrafficLogPanel : public QWidget
{
    Q_OBJECT
public:
    enum class Entry { None, ManualCommand };

    TrafficLogPanel(ControllerLink& link, Entry entry, QWidget* parent = nullptr);

    QCheckBox* displayData() const { return m_displayData; }
    TrafficLogView* log() const { return m_log; }

Q_SIGNALS:
    // After "Clear" emptied the log (and the entry); the screen may move the focus.
    void cleared();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildCommandEntry();
    void sendManualCommand();
    bool handleCommandKey(int key);

    ControllerLink& m_link;
    QPlainTextEdit* m_command = nullptr;
    QCheckBox* m_displayData = nullptr;
    TrafficLogView* m_log = nullptr;
    int m_enterCount = 0;
};
