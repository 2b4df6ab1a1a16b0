#pragma once

#include "ControllerScreen.h"
#include "PictureFileRecord.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class PictureDownload;
class PictureFrame;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;

// "Switch Data": bitmaps, switch data files and hex-text files, each shown as the data it sends;
// the data downloaded to an address or saved as a switch data file, and a stored picture
// uploaded from the controller. Entry k of the file list belongs to record k and data text k.
class frmSwitchDataFile : public ControllerScreen
{
    Q_OBJECT
public:
    explicit frmSwitchDataFile(ScreenContext& context, QWidget* parent = nullptr);
    ~frmSwitchDataFile() override;

    const PictureFileRecords& records() const { return m_records; }

private:
    QGroupBox* buildPictureFrame();
    QLayout* buildButtonRow();
    void startWithSinglePicture();

    void onFileChosen();
    bool importFile();
    bool admitFile(const QString& path, qint16& fileKind);
    void takeTypeOf(qint16 typeCode);
    void showCurrentEntry();
    void showData(const QString& text);
    // Reads entry `index`'s data text afresh, by its kind and its type.
    void readSwitchData(int index);
    QString readFileData(const PictureFileRecord& record);
    void refreshData();

    void downloadSwitchData();
    void saveSwitchData();
    void uploadData();

    std::unique_ptr<PictureDownload> m_download;
    PictureFileRecords m_records{PictureFileRecord{}};
    QStringList m_switchData{QString()}; // parallel to m_records
    int m_currentIndex = 0;

    PictureFrame* famPicture = nullptr;
    QPlainTextEdit* txtSwitchData = nullptr;
    QPushButton* cmdDownloadSwitchData = nullptr;
    QPushButton* cmdSaveSwitchData = nullptr;
    QPushButton* cmdUploadData = nullptr;
    QPushButton* cmdRefreshData = nullptr;
    QPushButton* cmdCancel = nullptr;
};
