#pragma once

#include <QGroupBox>

class ControllerLink;
class LinkScreen;
class QComboBox;
class QLabel;
class QLineEdit;

// The port frame "famCommInfo" of a screen that talks to the controller: the port and speed
// choices, the device behind the chosen port, the port status and the address being downloaded.
// Choosing a port or a speed closes the port and opens the new choice, unless a download runs.
// It needs nothing but the link.
class PortFrame : public QGroupBox
{
    Q_OBJECT
public:
    explicit PortFrame(ControllerLink& link, QWidget* parent = nullptr);

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

    ControllerLink& m_link;
    QComboBox* m_port = nullptr;
    QComboBox* m_speed = nullptr;
    QLabel* m_device = nullptr;
    QLineEdit* m_status = nullptr;
    QLabel* m_currentAddress = nullptr;
};
