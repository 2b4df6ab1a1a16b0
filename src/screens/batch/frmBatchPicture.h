#pragma once

#include "BatchFileModel.h"
#include "BatchFiles.h"
#include "BatchRun.h"
#include "ControllerScreen.h"

#include <QElapsedTimer>
#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class SwitchPreview;

// "Batch Picture Download": every picture of one switch type in a folder, each to its own
// address, in one run.
class frmBatchPicture : public ControllerScreen, public BatchRunView, private FolderScanObserver
{
    Q_OBJECT
public:
    // From this many rows on, a changed tick does not refresh the list at once: Refresh turns red.
    static constexpr int RefreshAtOnceBelow = 101;

    explicit frmBatchPicture(ScreenContext& context, QWidget* parent = nullptr);
    ~frmBatchPicture() override;

    // BatchRunView
    void setRowColour(int index, RowColour colour) override;
    void revealRow(int index) override;
    void previewFile(int index) override;
    void setTimeText(const QString& text) override;
    bool withTypeLetter() const override;

    // Rebuilds the rows from the batch, taking the list's ticks into the batch first.
    void RefreshFileList();

protected:
    bool mayUnload() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Layout and screen contract (frmBatchPicture.cpp)
    QWidget* buildImportFrame();
    QWidget* buildFileList();
    QLayout* buildPreviews();
    QWidget* buildAddressFrame();
    QWidget* buildOptions();
    QWidget* buildTrafficLog();
    QWidget* buildRunButtons();
    bool filterAddressComboEvent(QComboBox* combo, QEvent* event);
    static void setAddressEntries(QComboBox* combo, const QStringList& addresses);
    // No run on the stack and nothing else busy: a new command may start.
    bool isIdle() const;
    bool hasFiles() const;
    int fileCount() const;

    // FolderScanObserver
    bool keepScanning() override;
    void showScanStatus(int panel, const QString& text) override;
    void letWindowRun();

    // Import and the file list (BatchImport.cpp)
    void onSwitchTypeChosen(int entry);
    void importBatch();
    void endImportWithoutFiles();
    void listImportedFiles();
    void finishImport();
    void clearFileView();
    void cancelImport();
    void checkMarks(BatchFileModel::CheckAction action, const QString& noFiles,
                    const QString& title);
    void refreshOrAskForIt();
    void onRowChecked(int row);
    void onRowClicked(const QModelIndex& index);
    void previewSelectedRow();
    void refreshClicked();
    void fillAddressCombos();
    void scrollAfterRefresh();

    // Address block (BatchAddressEntry.cpp)
    bool handleOffsetKey(QKeyEvent* event);
    void leaveOffsetMode();
    qint64 ValidateAddressOffset();
    void offsetAddresses();
    void reverseAddresses();
    void rebuildAddressBlock();
    void addressComboClicked();
    bool validateStartCombo();
    bool validateStopCombo();
    bool lookUpTypedAddress(QComboBox* combo);
    void rebuildStopList(int startEntry);
    void tickStartToStop();
    void resetController();

    // Downloads (BatchDownload.cpp)
    void downloadBatch();
    void FinishBatch();
    void reportRun();
    void showIdleButtons();
    void runFrom(int first);
    void pauseDownload();
    void continueDownload();
    void cancelDownload();
    void downloadSelectedPicture();
    void reportSelectedPicture(int index);
    void endSelectedPicture(bool beep);
    bool refreshIsDue(const QString& title);
    void editAttributes();
    void closeForm();

    BatchFileModel* m_files = nullptr;
    BatchRun m_run;
    qint16 m_screenTypeCode = 3;
    bool m_cancelImportFlag = false;
    QString m_startAddressText;
    QString m_stopAddressText;
    int m_selectedIndex = 0;
    bool m_offsetModeFlag = false;
    bool m_pausedFlag = false;
    bool m_singleDownloadFlag = false;
    // A run or a single transfer is on the stack (Cancel clears BusyFlag before it returns).
    bool m_transferActive = false;
    bool m_validatingCombo = false;
    QElapsedTimer m_pumpClock;

    QComboBox* cmbSwitchType = nullptr;
    QPushButton* cmdImportBatch = nullptr;
    QPushButton* cmdCancelImport = nullptr;
    QLineEdit* txtFilePath = nullptr;
    QLineEdit* txtFirstFile = nullptr;
    QLineEdit* txtFileSize = nullptr;
    QPushButton* cmdEditAttributes = nullptr;
    QTreeView* LsvManyFiles = nullptr;
    QPushButton* cmdCheckAll = nullptr;
    QPushButton* cmdCheckNone = nullptr;
    QPushButton* cmdInvert = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QFrame* picHolderBorder = nullptr;
    QLabel* picHolder = nullptr;
    SwitchPreview* picSwitchPreview = nullptr;
    QComboBox* cmbStartAddresses = nullptr;
    QComboBox* cmbStopAddresses = nullptr;
    QPushButton* cmdSetStart = nullptr;
    QLineEdit* txtOffsetAddress = nullptr;
    QPushButton* cmdOffsetAddresses = nullptr;
    QPushButton* cmdReverse = nullptr;
    QLineEdit* txtMaxStartAddress = nullptr;
    QPushButton* cmdDownloadBatch = nullptr;
    QPushButton* cmdDownloadPicture = nullptr;
    QPushButton* cmdPause = nullptr;
    QPushButton* cmdContinueDownload = nullptr;
    QPushButton* cmdCancel = nullptr;
    QLabel* lblTime = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdClose = nullptr;
};
