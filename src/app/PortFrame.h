#pragma once

#include <QGroupBox>

class LinkScreen;
class MDI_MainForm;
class QComboBox;
class QLabel;
class QLineEdit;

// The port frame "famCommInfo" of a screen that talks to the controller: the port and speed
// choices, the device behind the chosen port, the port status and the address being downloaded.
// Choosing a port or a speed closes the port and opens the new choice, unless a download runs.
class PortFrame : public QGroupBox
{
    Q_OBJECT
public:
    explicit PortFrame(MDI_MainForm& main, QWidget* parent = nullptr);

    // The screen contract on activation: the combos show the requested port and speed and the
    // port is reopened for `screen`. A download in progress keeps the port it runs on.
    void takeOverPort(LinkScreen* screen);

    void setPortChoice(int portNumber);
    void setPortStatus(const QString& text);
    QString portStatus() const;
    void setCurrentAddress(const QString& text);
    QString speedText() const;

private:
    void fillPorts();
    void showRequestedSpeed();
    void onPortChosen();
    void onSpeedChosen();

    MDI_MainForm& m_main;
    QComboBox* m_port = nullptr;
    QComboBox* m_speed = nullptr;
    QLabel* m_device = nullptr;
    QLineEdit* m_status = nullptr;
    QLabel* m_currentAddress = nullptr;
};
