#pragma once

#include "ControllerOperations.h"
#include "ControllerScreen.h"
#include "EditorScreen.h"
#include "PictureFileRecord.h"

#include <QWidget>

#include <memory>

class Lcd64x32Defaults;
class PictureDownload;
class PictureFrame;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TrafficLogView;

// "Single Picture Download": one picture, one address, and the controller tools.
class frmSinglePicture : public ControllerScreen, public EditorScreen
{
    Q_OBJECT
public:
    static constexpr int LedButtonCount = 7;

    explicit frmSinglePicture(ScreenContext& context, QWidget* parent = nullptr);
    ~frmSinglePicture() override;

    // LinkScreen (the rest comes with ControllerScreen)
    void setControllerName(const QString& text) override;
    void setFirmwareVersion(const QString& text) override;
    void setControllerSettingText(const QString& text) override;

    // EditorScreen
    QString editorAddressText() const override;
    void setEditorAddressText(const QString& text) override;
    void setCycleColours(const QColor& on, const QColor& off) override;

    PictureChoice choice() const;
    // Lists a picture file (if it is not listed yet) and selects it, as "Import bmp" does.
    void choosePicture(const QString& path);
    const PictureFileRecords& records() const { return m_records; }
    int currentRecordIndex() const { return m_currentIndex; }
    TrafficLogView* trafficLog() const { return trafficPanel()->log(); }

protected:
    void screenActivated() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    // Layout (frmSinglePicture.cpp)
    QGroupBox* buildPictureFrame();
    QGroupBox* buildAttributeFrame();
    QGroupBox* buildControllerFrame();
    QGroupBox* buildBicolorFrame();
    QWidget* buildTrafficLog();
    QLayout* buildButtonRow();
    void loadStartPicture();
    void onTrafficChanged();

    // Picture choice (SinglePictureSelection.cpp)
    void onFileChosen();
    bool importPicture();
    bool listPicture(const QString& path);
    bool passesLengthGate(const PictureFileRecord& record);
    void applyTypeControls(const PictureFileRecord& record);
    void primeLcdEditor(PictureFileRecord& record);
    void showCycleColours(const PictureFileRecord& record);
    void paintCycleBox(QFrame* box, const QColor& colour);
    void reopenRequestedPort();
    void updateSwitchPreview();
    const Lcd64x32Defaults& lcd64x32Defaults();

    // Talking to the controller (SinglePictureDownload.cpp)
    void downloadPicture();
    void clearAddress();
    void reportClear(ReplyOutcome outcome);
    void editAttributes();
    void downloadAttributes();
    void callController();
    void resetController();
    void testLed(int index);
    void downloadTextFile();
    void setDownloadedCount(int count);

    std::unique_ptr<PictureDownload> m_download;
    PictureFileRecords m_records{PictureFileRecord{}};
    int m_currentIndex = 0;

    PictureFrame* famPicture = nullptr;
    QComboBox* cmbFileName = nullptr;
    QLineEdit* txtFileTitle = nullptr;
    QLineEdit* txtFileSize = nullptr;
    QLineEdit* txtSwitchType = nullptr;
    QLineEdit* txtAddress = nullptr;
    QFrame* picHolderBorder = nullptr;
    QLabel* picHolder = nullptr;
    QGroupBox* famAttributes = nullptr;
    QFrame* picOnCycle = nullptr;
    QFrame* picOffCycle = nullptr;
    QLabel* lblOnCycle1 = nullptr;
    QLabel* lblOffCycle1 = nullptr;
    QLabel* lblLEDinfo = nullptr;
    QPushButton* cmdEditAttributes = nullptr;
    QPushButton* cmdDownloadAttributes = nullptr;
    QGroupBox* famContrInfo = nullptr;
    QLineEdit* txtController = nullptr;
    QLineEdit* txtFirmwareVersion = nullptr;
    QLineEdit* txtControllerSetting = nullptr;
    QPushButton* cmdQuery = nullptr;
    QPushButton* cmdCall = nullptr;
    QPushButton* cmdReset = nullptr;
    QGroupBox* famBicolorTest = nullptr;
    QPushButton* cmdLEDs[LedButtonCount] = {};
    QPushButton* cmdShowPicture = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdDownloadTextFile = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblOLEDProgrammer = nullptr;
    QLabel* imgQuorvelLogo = nullptr;
};
