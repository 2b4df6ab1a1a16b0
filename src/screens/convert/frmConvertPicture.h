#pragma once

#include "FolderConversion.h"
#include "PictureConversion.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QImage>

struct ScreenContext;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class SwitchPreview;

// What the Convert dialogs remember while the program runs: the last settings, shared by both,
// and the folders last used.
struct ConversionChoices
{
    ConversionSettings settings;
    QString pictureFolder; // where the last picture was chosen
    QString saveFolder;    // where the last converted picture was saved
    QString sourceFolder;  // the last folder converted
    QString targetFolder;  // where its bitmaps went
};

// "Convert Picture..." and "Convert Folder...": any picture Qt reads made into a switch picture,
// with the result shown live as the switch will show it. A picture is saved as the accepted bitmap
// of its type and handed to the single picture screen; a folder is converted with one setting into
// another folder, ready for "Import Batch".
class frmConvertPicture : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Picture, Folder };

    frmConvertPicture(Mode mode, ScreenContext& context, ConversionChoices& choices,
                      QWidget* parent = nullptr);
    ~frmConvertPicture() override;

    // Shows the dialog on `path` (a picture, or in folder mode a folder). An empty path keeps the
    // source already open, or asks for one.
    void openOn(const QString& path);

    ConversionSettings settings() const;

Q_SIGNALS:
    // A converted picture was written to `path`.
    void pictureSaved(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* buildSource();
    QWidget* buildSettings();
    QWidget* buildPreviews();
    QWidget* buildButtons();
    void showSettings(const ConversionSettings& settings);
    void settingsChanged();
    void updatePreview();
    void updateEnabled();

    void chooseSource();
    void loadPicture(const QString& path);
    void loadFolder(const QString& folder);
    void showFolderPicture(int index);
    void chooseBackground();

    void save();
    void savePicture();
    void convertFolder();
    void folderConverted();

    Mode m_mode;
    ScreenContext& m_context;
    ConversionChoices& m_choices;
    QString m_sourcePath; // the picture, or in folder mode the folder
    QStringList m_folderPictures;
    QImage m_source;
    QByteArray m_bitmap; // the accepted bitmap of the settings now
    QColor m_background;
    bool m_showingSettings = true; // until the settings are first shown
    QFutureWatcher<ConvertedFile> m_conversion;
    QList<ConvertedFile> m_converted;

    QLineEdit* txtSource = nullptr;
    QComboBox* cmbFolderPictures = nullptr;
    QComboBox* cmbSwitchType = nullptr;
    QComboBox* cmbFit = nullptr;
    QComboBox* cmbCrop = nullptr;
    QPushButton* cmdBackground = nullptr;
    QComboBox* cmbRotation = nullptr;
    QCheckBox* chkFlipHorizontal = nullptr;
    QCheckBox* chkFlipVertical = nullptr;
    QSlider* sldBrightness = nullptr;
    QSlider* sldContrast = nullptr;
    QComboBox* cmbDither = nullptr;
    QSlider* sldThreshold = nullptr;
    QCheckBox* chkInvert = nullptr;
    QLabel* picSource = nullptr;
    QLabel* lblSourceInfo = nullptr;
    SwitchPreview* picConverted = nullptr;
    QLabel* lblResultInfo = nullptr;
    QProgressBar* prgConvert = nullptr;
    QPushButton* cmdCancelConvert = nullptr;
    QPushButton* cmdSave = nullptr;
};
