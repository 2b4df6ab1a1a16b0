#pragma once

#include "LinkViews.h"
#include "MdiScreen.h"

#include <QWidget>

class MDI_MainForm;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TrafficLogView;

// "Single Picture Download": one picture, one address, and the controller tools.
class frmSinglePicture : public QWidget, public LinkScreen, public MdiScreen
{
    Q_OBJECT
public:
    explicit frmSinglePicture(MDI_MainForm& main, QWidget* parent = nullptr);
    ~frmSinglePicture() override;

    // MdiScreen
    void activate() override;
    void deactivate() override;

    // LinkScreen
    void setPortStatus(const QString& text) override;
    void appendTraffic(const QString& text, TrafficDirection direction) override;
    int displayData() const override;
    void setDisplayData(int value) override;
    void setCurrentAddressLabel(const QString& text) override;
    void setPortChoice(int portNumber) override;
    void setControllerName(const QString& text) override;
    void setFirmwareVersion(const QString& text) override;
    void setControllerSettingText(const QString& text) override;

    TrafficLogView* trafficLog() const { return txtControllerFeedback; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* buildControllerFrame();
    QGroupBox* buildPortFrame();
    QWidget* buildManualCommand();
    QWidget* buildTrafficLog();
    void fillPortCombo();
    void onPortChosen();
    void onSpeedChosen();
    void sendManualCommand();
    bool handleManualCommandKey(int key);
    void onTrafficChanged();

    MDI_MainForm& m_main;
    qint16 m_savedTypeCode = 3;
    int m_enterCount = 0;
    QString m_lastManualCommand;

    QLineEdit* txtController = nullptr;
    QLineEdit* txtFirmwareVersion = nullptr;
    QLineEdit* txtControllerSetting = nullptr;
    QCheckBox* chkController = nullptr;
    QPushButton* cmdQuery = nullptr;
    QComboBox* cmbCommPort = nullptr;
    QComboBox* cmbPortSpeed = nullptr;
    QLabel* lblPortDevice = nullptr;
    QLineEdit* txtDownloadPortStatus = nullptr;
    QLabel* lblCurrentAddress = nullptr;
    QPlainTextEdit* txtManualCommand = nullptr;
    QPushButton* cmdSendManualCommand = nullptr;
    QCheckBox* chkDispayData = nullptr;
    TrafficLogView* txtControllerFeedback = nullptr;
    QPushButton* cmdClean = nullptr;
    QPushButton* cmdClose = nullptr;
};
