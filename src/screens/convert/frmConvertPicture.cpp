#include "frmConvertPicture.h"

#include "AppState.h"
#include "ControllerQuery.h"
#include "Named.h"
#include "ScreenContext.h"
#include "SwitchPreview.h"
#include "SwitchTypeCode.h"
#include "UiSeam.h"
#include "WholeFile.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

namespace {

const QString PictureTitle = QStringLiteral("Convert Picture");
const QString FolderTitle = QStringLiteral("Convert Folder");

// Big enough for every display at four device pixels a pixel or more, with its grid.
constexpr QSize ConvertedPreviewSize(400, 272);
constexpr QSize SourcePreviewSize(240, 160);
// A message box lists this many pictures that failed; the rest are counted.
constexpr qsizetype ListedFailures = 10;

struct CropPlace
{
    const char* name;
    QPoint percent;
};
constexpr CropPlace CropPlaces[] = {
    {"Centre", {50, 50}},    {"Top", {50, 0}},          {"Bottom", {50, 100}},
    {"Left", {0, 50}},       {"Right", {100, 50}},      {"Top left", {0, 0}},
    {"Top right", {100, 0}}, {"Bottom left", {0, 100}}, {"Bottom right", {100, 100}},
};

QComboBox* choiceBox(const char* objectName, const QStringList& texts)
{
    auto* box = Named<QComboBox>(objectName);
    box->addItems(texts);
    return box;
}

QString pictureFilter()
{
    return QStringLiteral("Pictures|%1|All files|*").arg(ReadablePicturePatterns().join(u';'));
}

// The box a settings group sits in, its rows labelled on the left.
QFormLayout* group(QVBoxLayout* column, const QString& title)
{
    auto* box = new QGroupBox(title);
    auto* form = new QFormLayout(box);
    column->addWidget(box);
    return form;
}

} // namespace

frmConvertPicture::frmConvertPicture(Mode mode, ScreenContext& context, ConversionChoices& choices,
                                     QWidget* parent)
    : QDialog(parent)
    , m_mode(mode)
    , m_context(context)
    , m_choices(choices)
{
    const bool folder = mode == Mode::Folder;
    setObjectName(folder ? QStringLiteral("frmConvertFolder")
                         : QStringLiteral("frmConvertPicture"));
    setWindowTitle(folder ? FolderTitle : PictureTitle);

    auto* body = new QWidget;
    auto* rows = new QVBoxLayout(body);
    rows->addWidget(buildSource());
    auto* columns = new QHBoxLayout;
    columns->addWidget(buildSettings());
    columns->addWidget(buildPreviews(), 1);
    rows->addLayout(columns);
    // A small desktop or a large scale scrolls the dialog rather than cutting it.
    auto* scroll = new QScrollArea;
    scroll->setWidget(body);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addWidget(buildButtons());

    const QSize wanted = body->sizeHint() + QSize(40, 80);
    const QSize room = screen()->availableGeometry().size() - QSize(24, 48);
    resize(wanted.boundedTo(room));

    connect(&m_conversion, &QFutureWatcher<ConvertedFile>::resultReadyAt, this,
            [this](int at) { m_converted << m_conversion.resultAt(at); });
    connect(&m_conversion, &QFutureWatcher<ConvertedFile>::progressValueChanged, prgConvert,
            &QProgressBar::setValue);
    connect(&m_conversion, &QFutureWatcher<ConvertedFile>::finished, this,
            &frmConvertPicture::folderConverted);
    showSettings(m_choices.settings);
}

frmConvertPicture::~frmConvertPicture()
{
    m_conversion.cancel();
    m_conversion.waitForFinished();
}

QWidget* frmConvertPicture::buildSource()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const bool folder = m_mode == Mode::Folder;
    layout->addWidget(new QLabel(folder ? QStringLiteral("Folder:") : QStringLiteral("Picture:")));
    txtSource = Named<QLineEdit>("txtSource");
    txtSource->setReadOnly(true);
    txtSource->setMinimumWidth(320);
    layout->addWidget(txtSource, 1);
    auto* choose = Named<QPushButton>("cmdChooseSource", QStringLiteral("Choose..."));
    connect(choose, &QPushButton::clicked, this, &frmConvertPicture::chooseSource);
    layout->addWidget(choose);
    if (folder) {
        layout->addWidget(new QLabel(QStringLiteral("Preview:")));
        cmbFolderPictures = Named<QComboBox>("cmbFolderPictures");
        cmbFolderPictures->setMinimumContentsLength(16);
        cmbFolderPictures->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        connect(cmbFolderPictures, &QComboBox::currentIndexChanged, this,
                &frmConvertPicture::showFolderPicture);
        layout->addWidget(cmbFolderPictures);
    }
    return row;
}

QWidget* frmConvertPicture::buildSettings()
{
    auto* panel = new QWidget;
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    const auto changed = [this] { settingsChanged(); };

    cmbSwitchType = Named<QComboBox>("cmbSwitchType");
    for (qint16 type = SwitchTypeCode::Lcd36x24; type <= SwitchTypeCode::Color96x64; ++type)
        cmbSwitchType->addItem(ControllerSettingText(type), int(type));
    QFormLayout* display = group(column, QStringLiteral("Switch"));
    display->addRow(QStringLiteral("Switch Type:"), cmbSwitchType);

    QFormLayout* fit = group(column, QStringLiteral("Fit"));
    cmbFit = choiceBox(
        "cmbFit", {QStringLiteral("Contain"), QStringLiteral("Cover"), QStringLiteral("Stretch")});
    cmbCrop = Named<QComboBox>("cmbCrop");
    for (const CropPlace& place : CropPlaces)
        cmbCrop->addItem(QString::fromLatin1(place.name), place.percent);
    cmdBackground = Named<QPushButton>("cmdBackground", QStringLiteral("Background..."));
    connect(cmdBackground, &QPushButton::clicked, this, &frmConvertPicture::chooseBackground);
    fit->addRow(QStringLiteral("Fit:"), cmbFit);
    fit->addRow(QStringLiteral("Crop at:"), cmbCrop);
    fit->addRow(QStringLiteral("Bars:"), cmdBackground);

    QFormLayout* turn = group(column, QStringLiteral("Turn"));
    cmbRotation = choiceBox("cmbRotation", {QStringLiteral("0°"), QStringLiteral("90°"),
                                            QStringLiteral("180°"), QStringLiteral("270°")});
    chkFlipHorizontal = Named<QCheckBox>("chkFlipHorizontal", QStringLiteral("Flip left to right"));
    chkFlipVertical = Named<QCheckBox>("chkFlipVertical", QStringLiteral("Flip top to bottom"));
    turn->addRow(QStringLiteral("Rotate:"), cmbRotation);
    turn->addRow(chkFlipHorizontal);
    turn->addRow(chkFlipVertical);

    QFormLayout* tones = group(column, QStringLiteral("Tones"));
    // A slider with its value written beside it.
    const auto slider = [&](QSlider*& control, const char* name, int low, int high) {
        control = Named<QSlider>(name, Qt::Horizontal);
        control->setRange(low, high);
        control->setMinimumWidth(150);
        auto* value = new QLabel;
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("-100")));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setNum(control->value());
        connect(control, &QSlider::valueChanged, value, qOverload<int>(&QLabel::setNum));
        connect(control, &QSlider::valueChanged, this, changed);
        auto* row = new QWidget;
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(control, 1);
        layout->addWidget(value);
        return row;
    };
    QWidget* brightness = slider(sldBrightness, "sldBrightness", -100, 100);
    QWidget* contrast = slider(sldContrast, "sldContrast", -100, 100);
    QWidget* threshold = slider(sldThreshold, "sldThreshold", 1, 255);
    cmbDither = choiceBox("cmbDither", {QStringLiteral("None"), QStringLiteral("Floyd-Steinberg"),
                                        QStringLiteral("Atkinson"), QStringLiteral("Ordered 4x4")});
    chkInvert = Named<QCheckBox>("chkInvert", QStringLiteral("Invert"));
    tones->addRow(QStringLiteral("Brightness:"), brightness);
    tones->addRow(QStringLiteral("Contrast:"), contrast);
    tones->addRow(QStringLiteral("Dither:"), cmbDither);
    tones->addRow(QStringLiteral("Threshold:"), threshold);
    tones->addRow(chkInvert);

    auto* defaults = Named<QPushButton>("cmdDefaults", QStringLiteral("Defaults"));
    connect(defaults, &QPushButton::clicked, this, [this] {
        ConversionSettings fresh;
        fresh.typeCode = settings().typeCode;
        showSettings(fresh);
    });
    column->addWidget(defaults, 0, Qt::AlignLeft);
    column->addStretch();

    for (QComboBox* box : {cmbSwitchType, cmbFit, cmbCrop, cmbRotation, cmbDither})
        connect(box, &QComboBox::currentIndexChanged, this, changed);
    for (QCheckBox* box : {chkFlipHorizontal, chkFlipVertical, chkInvert})
        connect(box, &QCheckBox::toggled, this, changed);
    return panel;
}

QWidget* frmConvertPicture::buildPreviews()
{
    auto* panel = new QWidget;
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    picSource = Named<QLabel>("picSource");
    picSource->setFixedSize(SourcePreviewSize);
    picSource->setAlignment(Qt::AlignCenter);
    picSource->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblSourceInfo = Named<QLabel>("lblSourceInfo");
    picConverted = new SwitchPreview(QStringLiteral("picConverted"));
    picConverted->setCanvasSize(ConvertedPreviewSize);
    lblResultInfo = Named<QLabel>("lblResultInfo");
    column->addWidget(picSource, 0, Qt::AlignHCenter);
    column->addWidget(lblSourceInfo, 0, Qt::AlignHCenter);
    column->addWidget(picConverted, 0, Qt::AlignHCenter);
    column->addWidget(lblResultInfo, 0, Qt::AlignHCenter);
    column->addStretch();
    return panel;
}

QWidget* frmConvertPicture::buildButtons()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    prgConvert = Named<QProgressBar>("prgConvert");
    prgConvert->hide();
    cmdCancelConvert = Named<QPushButton>("cmdCancelConvert", QStringLiteral("Cancel"));
    cmdCancelConvert->hide();
    connect(cmdCancelConvert, &QPushButton::clicked, &m_conversion,
            &QFutureWatcher<ConvertedFile>::cancel);
    const bool folder = m_mode == Mode::Folder;
    cmdSave = Named<QPushButton>("cmdSave", folder ? QStringLiteral("Convert All...")
                                                   : QStringLiteral("Save..."));
    cmdSave->setDefault(true);
    connect(cmdSave, &QPushButton::clicked, this, &frmConvertPicture::save);
    auto* close = Named<QPushButton>("cmdClose", QStringLiteral("Close"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(prgConvert, 1);
    layout->addWidget(cmdCancelConvert);
    layout->addStretch();
    layout->addWidget(cmdSave);
    layout->addWidget(close);
    return row;
}

void frmConvertPicture::openOn(const QString& path)
{
    if (isVisible()) { // behind the main window, perhaps: brought forward
        raise();
        activateWindow();
    }
    show();
    if (!path.isEmpty())
        m_mode == Mode::Folder ? loadFolder(path) : loadPicture(path);
    else if (m_sourcePath.isEmpty())
        chooseSource();
    if (!m_conversion.isRunning())
        showSettings(m_choices.settings); // the other dialog may have changed them meanwhile
}

ConversionSettings frmConvertPicture::settings() const
{
    ConversionSettings s;
    s.typeCode = qint16(cmbSwitchType->currentData().toInt());
    s.fit = PictureFit(cmbFit->currentIndex());
    s.background = m_background;
    s.crop = cmbCrop->currentData().toPoint();
    s.rotation = 90 * cmbRotation->currentIndex();
    s.flipHorizontal = chkFlipHorizontal->isChecked();
    s.flipVertical = chkFlipVertical->isChecked();
    s.brightness = sldBrightness->value();
    s.contrast = sldContrast->value();
    s.threshold = sldThreshold->value();
    s.dither = PictureDither(cmbDither->currentIndex());
    s.invert = chkInvert->isChecked();
    return s;
}

void frmConvertPicture::showSettings(const ConversionSettings& s)
{
    m_showingSettings = true;
    cmbSwitchType->setCurrentIndex(qMax(0, cmbSwitchType->findData(int(s.typeCode))));
    cmbFit->setCurrentIndex(int(s.fit));
    cmbCrop->setCurrentIndex(qMax(0, cmbCrop->findData(s.crop)));
    m_background = s.background;
    cmbRotation->setCurrentIndex(s.rotation / 90 % 4);
    chkFlipHorizontal->setChecked(s.flipHorizontal);
    chkFlipVertical->setChecked(s.flipVertical);
    sldBrightness->setValue(s.brightness);
    sldContrast->setValue(s.contrast);
    sldThreshold->setValue(s.threshold);
    cmbDither->setCurrentIndex(int(s.dither));
    chkInvert->setChecked(s.invert);
    m_showingSettings = false;
    settingsChanged();
}

void frmConvertPicture::settingsChanged()
{
    if (m_showingSettings)
        return;
    m_choices.settings = settings();
    updateEnabled();
    updatePreview();
}

void frmConvertPicture::updateEnabled()
{
    const ConversionSettings s = settings();
    const bool oneBit = IsOneBitDisplay(s.typeCode);
    cmbCrop->setEnabled(s.fit == PictureFit::Cover);
    cmbDither->setEnabled(oneBit);
    sldThreshold->parentWidget()->setEnabled(oneBit && s.dither == PictureDither::None);
    QPixmap swatch(16, 16);
    swatch.fill(m_background);
    cmdBackground->setIcon(swatch);
}

// Synchronous: a working-size picture converts in a few milliseconds, so every change of a
// setting shows before the next one arrives.
void frmConvertPicture::updatePreview()
{
    const ConversionSettings s = settings();
    m_bitmap = m_source.isNull() ? QByteArray() : ConvertToBitmap(m_source, s);
    const QImage shown =
        SwitchViewOfBitmap(s.typeCode, m_bitmap, m_context.state.LeftToRightFlag != 0);
    picConverted->showPicture(s.typeCode, shown,
                              m_mode == Mode::Folder ? QStringLiteral("No picture to preview")
                                                     : QStringLiteral("Choose a picture"));
    lblResultInfo->setText(m_bitmap.isEmpty() ? QString()
                                              : QStringLiteral("%1 bitmap, %2 bytes")
                                                    .arg(ControllerSettingText(s.typeCode))
                                                    .arg(m_bitmap.size()));
    cmdSave->setEnabled(m_mode == Mode::Folder ? !m_folderPictures.isEmpty() : !m_bitmap.isEmpty());
}

void frmConvertPicture::chooseSource()
{
    if (m_mode == Mode::Folder) {
        const QString start =
            m_choices.sourceFolder.isEmpty() ? m_context.programFolder : m_choices.sourceFolder;
        const QString folder = m_context.seam.folderName(FolderTitle, start);
        if (!folder.isEmpty())
            loadFolder(folder);
        return;
    }
    const QString start =
        m_choices.pictureFolder.isEmpty() ? m_context.programFolder : m_choices.pictureFolder;
    const QString path = m_context.seam.openFileName(PictureTitle, start, pictureFilter());
    if (!path.isEmpty())
        loadPicture(path);
}

// Shows a picture in the source box, or says why there is none; in folder mode a broken
// picture is only noted, since the conversion reports it with the others.
void frmConvertPicture::loadPicture(const QString& path)
{
    const SourcePicture picture = ReadSourcePicture(path);
    if (!picture.error.isEmpty() && m_mode == Mode::Picture) {
        m_context.seam.message(picture.error, PictureTitle, MessageIcon::Exclamation);
        return;
    }
    m_source = picture.image;
    if (m_mode == Mode::Picture) {
        m_sourcePath = path;
        txtSource->setText(QDir::toNativeSeparators(path));
        m_choices.pictureFolder = QFileInfo(path).absolutePath();
    }
    const QSize stored = QImageReader(path).size();
    picSource->setPixmap(m_source.isNull() ? QPixmap()
                                           : QPixmap::fromImage(m_source.scaled(
                                                 SourcePreviewSize - QSize(4, 4),
                                                 Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    lblSourceInfo->setText(picture.error.isEmpty() ? QStringLiteral("%1 x %2 pixels, %3")
                                                         .arg(stored.width())
                                                         .arg(stored.height())
                                                         .arg(QFileInfo(path).fileName())
                                                   : picture.error);
    updatePreview();
}

void frmConvertPicture::loadFolder(const QString& folder)
{
    m_sourcePath = folder;
    m_choices.sourceFolder = folder;
    txtSource->setText(QDir::toNativeSeparators(folder));
    m_folderPictures = PicturesInFolder(folder);
    cmbFolderPictures->clear();
    for (const QString& picture : m_folderPictures)
        cmbFolderPictures->addItem(QFileInfo(picture).fileName());
    if (m_folderPictures.isEmpty()) {
        m_source = QImage();
        picSource->setPixmap(QPixmap());
        lblSourceInfo->setText(QStringLiteral("No pictures in this folder"));
        updatePreview();
    }
}

void frmConvertPicture::showFolderPicture(int index)
{
    if (index >= 0 && index < m_folderPictures.size())
        loadPicture(m_folderPictures[index]);
}

void frmConvertPicture::chooseBackground()
{
    const QColor chosen =
        m_context.seam.colour(QStringLiteral("Bars and Transparent Parts"), m_background);
    if (!chosen.isValid())
        return;
    m_background = chosen;
    settingsChanged();
}

void frmConvertPicture::save()
{
    m_mode == Mode::Folder ? convertFolder() : savePicture();
}

void frmConvertPicture::savePicture()
{
    const ConversionSettings s = settings();
    const QString folder =
        m_choices.saveFolder.isEmpty() ? m_context.programFolder : m_choices.saveFolder;
    const QString suggested = QDir(folder).filePath(
        QStringLiteral("%1 %2.bmp")
            .arg(ControllerSettingText(s.typeCode), QFileInfo(m_sourcePath).completeBaseName()));
    QString path = m_context.seam.saveFileName(QStringLiteral("Save Converted Picture"), suggested,
                                               QStringLiteral("bmp files (*.bmp)|*.bmp"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".bmp");
    if (const QString problem = WriteWholeFile(path, m_bitmap); !problem.isEmpty()) {
        m_context.seam.message(QStringLiteral("The converted picture could not be saved to "
                                              "%1:\r%2")
                                   .arg(QDir::toNativeSeparators(path), problem),
                               PictureTitle, MessageIcon::Exclamation);
        return;
    }
    m_choices.saveFolder = QFileInfo(path).absolutePath();
    hide();
    Q_EMIT pictureSaved(path);
}

void frmConvertPicture::convertFolder()
{
    const QString start = m_choices.targetFolder.isEmpty() ? m_sourcePath : m_choices.targetFolder;
    const QString target = m_context.seam.folderName(QStringLiteral("Convert Folder To"), start);
    if (target.isEmpty())
        return;
    if (QFileInfo(target).canonicalFilePath() == QFileInfo(m_sourcePath).canonicalFilePath()) {
        m_context.seam.message(
            QStringLiteral("Choose another folder for the bitmaps: in the pictures' own folder a "
                           "bitmap could replace the picture it was made from."),
            FolderTitle, MessageIcon::Exclamation);
        return;
    }
    const QStringList outputs = ConvertedPaths(m_folderPictures, target);
    const auto replaced = std::count_if(outputs.begin(), outputs.end(), [](const QString& path) {
        return QFileInfo::exists(path);
    });
    if (replaced > 0 &&
        m_context.seam.message(QStringLiteral("%1 of the bitmaps are already in %2.\rReplace them?")
                                   .arg(replaced)
                                   .arg(QDir::toNativeSeparators(target)),
                               FolderTitle, MessageIcon::Question,
                               MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    if (!QDir().mkpath(target))
        return;
    m_choices.targetFolder = target;
    m_converted.clear();
    prgConvert->setRange(0, int(m_folderPictures.size()));
    prgConvert->setValue(0);
    prgConvert->show();
    cmdCancelConvert->show();
    cmdSave->setEnabled(false);
    m_conversion.setFuture(ConvertPictureFiles(m_folderPictures, outputs, settings()));
}

void frmConvertPicture::folderConverted()
{
    prgConvert->hide();
    cmdCancelConvert->hide();
    cmdSave->setEnabled(!m_folderPictures.isEmpty());
    QStringList failed;
    for (const ConvertedFile& result : std::as_const(m_converted)) {
        if (!result.error.isEmpty())
            failed << result.error;
    }
    const qsizetype written = m_converted.size() - failed.size();
    QString text = QStringLiteral("%1 of %2 pictures written to %3, ready for Import Batch.")
                       .arg(written)
                       .arg(m_folderPictures.size())
                       .arg(QDir::toNativeSeparators(m_choices.targetFolder));
    if (m_conversion.isCanceled())
        text.prepend(QStringLiteral("Conversion cancelled.\r"));
    if (!failed.isEmpty()) {
        text += QStringLiteral("\r\rNot converted:\r") + failed.mid(0, ListedFailures).join(u'\r');
        if (failed.size() > ListedFailures)
            text += QStringLiteral("\r... and %1 more").arg(failed.size() - ListedFailures);
    }
    m_context.seam.message(text, FolderTitle,
                           failed.isEmpty() ? MessageIcon::Information : MessageIcon::Exclamation);
}

void frmConvertPicture::closeEvent(QCloseEvent* event)
{
    if (m_conversion.isRunning()) {
        m_conversion.cancel();
        m_conversion.waitForFinished();
    }
    QDialog::closeEvent(event);
}
