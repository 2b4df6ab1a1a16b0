#pragma once

#include <QGroupBox>

class ControllerLink;
class LinkScreen;
class QComboBox;
class QLabel;
class QLineEdit;
class UiSeam;

// The port frame "famCommInfo" of a screen that talks to the controller: the port and speed
// choices, the device behind the chosen port, the port status and the address being downloaded.
// Choosing a port or a speed closes the port and opens the new choice, unless a download runs.
// The port list names each device and follows adapters plugged in or pulled out; its last entry,
// "Other device...", asks for any device path and adds it to the list.
class PortFrame : public QGroupBox
{
    Q_OBJECT
public:
    PortFrame(ControllerLink& link, UiSeam& seam, QWidget* parent = nullptr);

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
    void chooseOtherDevice();
    // The catalog number of a device the operator named, added when new; 0 (the operator told
    // why) when it cannot serve as a port.
    int catalogNumberFor(const QString& deviceName);
    // Closes the port in use and opens `number` instead.
    void switchToPort(int number);
    void onSpeedChosen();

    ControllerLink& m_link;
    UiSeam& m_seam;
    QComboBox* m_port = nullptr;
    QComboBox* m_speed = nullptr;
    QLabel* m_device = nullptr;
    QLineEdit* m_status = nullptr;
    QLabel* m_currentAddress = nullptr;
};
