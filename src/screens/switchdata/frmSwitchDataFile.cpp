#include "frmSwitchDataFile.h"

#include "AppState.h"
#include "AttributeEditors.h"
#include "ControllerLink.h"
#include "ControllerOperations.h"
#include "ControllerOptions.h"
#include "Conversions.h"
#include "FileClassification.h"
#include "ListSelection.h"
#include "Named.h"
#include "PictureDownload.h"
#include "PictureEncoding.h"
#include "PictureFrame.h"
#include "PicturePreview.h"
#include "PortFrame.h"
#include "SwitchDataFile.h"
#include "SwitchPreview.h"
#include "TrafficLogView.h"
#include "UiSeam.h"
#include "WholeFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString ImportEntry = QStringLiteral("Import");
const QString ReadFailureTitle = QStringLiteral("OLED Download Message");
constexpr int HeaderBytes = 8;
constexpr int DigitsPerLine = 64;

// The bitmap lengths an import takes the display type from. A 9270-byte OLED 64x48 bitmap is
// listed, but leaves the type as it is.
qint16 bitmapTypeForImport(qint64 length)
{
    const FileClass kind = ClassifyLength(length);
    return kind.FileKind == FileKind::Bitmap && length != 9270 ? kind.TypeCode : 0;
}

} // namespace

frmSwitchDataFile::frmSwitchDataFile(ScreenContext& context, QWidget* parent)
    : ControllerScreen(context, context.state.TypeCode, TrafficLogPanel::Entry::None, parent)
{
    setObjectName(QStringLiteral("frmSwitchDataFile"));
    setWindowTitle(QStringLiteral("Switch Data"));

    auto* optionsFrame = new QGroupBox(QStringLiteral("Options"));
    (new QVBoxLayout(optionsFrame))->addWidget(options());
    auto* right = new QVBoxLayout;
    right->addWidget(optionsFrame);
    right->addWidget(portFrame());
    right->addStretch();

    txtSwitchData = Named<QPlainTextEdit>("txtSwitchData");
    txtSwitchData->setReadOnly(true);
    txtSwitchData->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtSwitchData->setMinimumHeight(120);
    trafficPanel()->log()->setMinimumHeight(90);

    auto* layout = new QGridLayout(this);
    layout->addWidget(buildPictureFrame(), 0, 0);
    layout->addLayout(right, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Switch Data:")), 1, 0, 1, 2);
    layout->addWidget(txtSwitchData, 2, 0, 1, 2);
    layout->addWidget(trafficPanel(), 3, 0, 1, 2);
    layout->addLayout(buildButtonRow(), 4, 0, 1, 2);
    layout->setRowStretch(2, 1);
    layout->setRowStretch(3, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 2);

    m_download = std::make_unique<PictureDownload>(m_context, cmdCancel, famPicture,
                                                   QList<QWidget*>{famPicture});
    connect(options()->leftToRight(), &QCheckBox::clicked, this, &frmSwitchDataFile::refreshData);
    connect(trafficPanel(), &TrafficLogPanel::cleared, this, [this] {
        if (m_context.state.BusyFlag)
            return;
        txtSwitchData->clear();
        famPicture->switchPreview()->clear();
        famPicture->files()->setFocus();
    });
    famPicture->files()->addItem(ImportEntry);
    startWithSinglePicture();
}

frmSwitchDataFile::~frmSwitchDataFile() = default;

QGroupBox* frmSwitchDataFile::buildPictureFrame()
{
    famPicture = new PictureFrame(m_context.state, m_context.seam);
    connect(famPicture->files(), &QComboBox::activated, this, &frmSwitchDataFile::onFileChosen);
    return famPicture;
}

QLayout* frmSwitchDataFile::buildButtonRow()
{
    cmdDownloadSwitchData =
        Named<QPushButton>("cmdDownloadSwitchData", QStringLiteral("Download Switch Data"));
    cmdSaveSwitchData =
        Named<QPushButton>("cmdSaveSwitchData", QStringLiteral("Save Switch Data to File"));
    cmdUploadData = Named<QPushButton>("cmdUploadData", QStringLiteral("Upload Switch Data"));
    cmdRefreshData = Named<QPushButton>("cmdRefreshData", QStringLiteral("Refresh"));
    cmdCancel = Named<QPushButton>("cmdCancel", QStringLiteral("Cancel Download"));
    cmdCancel->setAutoFillBackground(true);
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button :
         {cmdDownloadSwitchData, cmdSaveSwitchData, cmdUploadData, cmdRefreshData, cmdCancel})
        row->addWidget(button);
    connect(cmdDownloadSwitchData, &QPushButton::clicked, this,
            &frmSwitchDataFile::downloadSwitchData);
    connect(cmdSaveSwitchData, &QPushButton::clicked, this, &frmSwitchDataFile::saveSwitchData);
    connect(cmdUploadData, &QPushButton::clicked, this, &frmSwitchDataFile::uploadData);
    connect(cmdRefreshData, &QPushButton::clicked, this, &frmSwitchDataFile::refreshData);
    connect(cmdCancel, &QPushButton::clicked, this, [this] { m_download->cancel(); });
    return row;
}

// The window opens on the single picture screen's choice, read for that picture's type.
void frmSwitchDataFile::startWithSinglePicture()
{
    const PictureChoice choice = m_context.singlePictureChoice();
    famPicture->title()->setText(choice.title);
    famPicture->title()->setCursorPosition(0);
    famPicture->fileSize()->setText(choice.fileSize);
    famPicture->switchType()->setText(choice.typeText);
    famPicture->address()->setText(choice.address);
    setStartAddress(choice.address);
    setStartTypeCode(choice.typeCode);
    FileObjects objects;
    if (choice.path.isEmpty() || !OpenFileObjects(choice.path, QString(), objects))
        return;
    AppState& state = m_context.state;
    famPicture->files()->addItem(choice.path);
    ClassifyFile(m_records, objects.File, 1, state, m_context.editors.lcd64x32Defaults());
    m_switchData.resize(m_records.size());
    m_records[1].TypeCode = choice.typeCode;
    m_currentIndex = FindRecordByPath(m_records, choice.path);
    SelectListEntrySilently(famPicture->files(), 1);
    ShowPicturePreview(choice.path, famPicture->preview(), famPicture->previewBorder());
    readSwitchData(m_currentIndex);
    showData(m_switchData.value(m_currentIndex));
}

void frmSwitchDataFile::onFileChosen()
{
    AppState& state = m_context.state;
    if (state.BusyFlag)
        return;
    if (famPicture->files()->currentText() != ImportEntry)
        state.TypeCode = m_records.value(famPicture->files()->currentIndex()).TypeCode;
    else if (!importFile())
        SelectListEntrySilently(famPicture->files(), m_currentIndex);
    showCurrentEntry();
}

// Adds the file the operator picks to the list and selects it; a file already listed is only
// selected. False when the dialog was cancelled or the file was refused.
bool frmSwitchDataFile::importFile()
{
    const QString path = m_context.seam.openFileName(
        ImportEntry, m_context.programFolder,
        QStringLiteral("bmp files (*.bmp)|*.bmp|txt files (*.txt)|*.txt|All Files|*"));
    if (path.isEmpty())
        return false;
    FileObjects objects;
    if (!OpenFileObjects(path, QString(), objects))
        return false;
    const QString listed = objects.File.absoluteFilePath();
    if (const int entry =
            famPicture->files()->findText(listed, Qt::MatchExactly | Qt::MatchCaseSensitive);
        entry > 0)
        return SelectListEntrySilently(famPicture->files(), entry);
    qint16 fileKind = FileKind::Bitmap;
    if (!admitFile(path, fileKind))
        return false;

    AppState& state = m_context.state;
    famPicture->files()->addItem(listed);
    const int index = famPicture->files()->count() - 1;
    ClassifyFile(m_records, objects.File, index, state, m_context.editors.lcd64x32Defaults());
    m_switchData.resize(m_records.size());
    PictureFileRecord& record = m_records[index];
    // What the import recognised the file as decides how it is read, whatever its length.
    record.FileKind = fileKind;
    if (fileKind == FileKind::SwitchData && state.TypeCode == SwitchTypeCode::Lcd36x24) {
        // The one switch data file without a header is as long as its picture block.
        record.TypeCode = state.TypeCode;
        record.TypeText = QStringLiteral("LCD 36x24 SD");
    } else if (record.TypeCode == SwitchTypeCode::Text) {
        record.TypeCode = state.TypeCode; // a file that names no type is read as the one in force
    }
    readSwitchData(index);
    return SelectListEntrySilently(famPicture->files(), index);
}

// By the file's extension: a bitmap names its type by its length, a hex-text file names none,
// anything else must be a switch data file. False, with the operator told, when it is not.
bool frmSwitchDataFile::admitFile(const QString& path, qint16& fileKind)
{
    const QString extension = QFileInfo(path).suffix().toUpper();
    const qint64 length = QFileInfo(path).size();
    if (extension == QLatin1String("BMP")) {
        fileKind = FileKind::Bitmap;
        if (const qint16 type = bitmapTypeForImport(length))
            takeTypeOf(type);
        return true;
    }
    if (extension == QLatin1String("TXT")) {
        fileKind = FileKind::Text;
        return true;
    }
    fileKind = FileKind::SwitchData;
    QFile file(path);
    const QByteArray start = file.open(QIODevice::ReadOnly) ? file.read(HeaderBytes) : QByteArray();
    const qint16 type = SwitchDataFileType(start, length);
    if (type == 0) {
        m_context.seam.message(
            QStringLiteral("Invalid image attributes.\rFile Size: %1").arg(length),
            QStringLiteral("Vantrel"), MessageIcon::Exclamation);
        return false;
    }
    takeTypeOf(type);
    return true;
}

void frmSwitchDataFile::takeTypeOf(qint16 typeCode)
{
    m_context.state.TypeCode = typeCode;
    famPicture->resetAddressFor(typeCode);
}

void frmSwitchDataFile::showCurrentEntry()
{
    const int index = FindRecordByPath(m_records, famPicture->files()->currentText());
    if (index <= 0)
        return;
    m_currentIndex = index;
    const PictureFileRecord& record = m_records[index];
    famPicture->showFile(record);
    showData(m_switchData.value(index));
    if (record.FileKind == FileKind::Bitmap) {
        ShowPicturePreview(record.Path, famPicture->preview(), famPicture->previewBorder());
    } else {
        famPicture->preview()->clear();
        famPicture->preview()->hide();
    }
    famPicture->switchType()->setText(record.TypeText);
}

// In lines of 32 bytes, as a hex-text switch data file may hold them: one line of thousands of
// digits would scroll as a single block. Beside the picture, what the data gives on the display of
// the chosen entry's type (the type in force once the window is active, but not yet while it
// opens after another screen).
void frmSwitchDataFile::showData(const QString& text)
{
    QStringList lines;
    for (qsizetype at = 0; at < text.size(); at += DigitsPerLine)
        lines << text.mid(at, DigitsPerLine);
    txtSwitchData->setPlainText(lines.join(u'\n'));
    const qint16 type =
        m_currentIndex > 0 ? m_records[m_currentIndex].TypeCode : m_context.state.TypeCode;
    famPicture->switchPreview()->showData(type, text);
}

void frmSwitchDataFile::readSwitchData(int index)
{
    if (m_switchData.size() <= index)
        m_switchData.resize(index + 1);
    m_switchData[index] = readFileData(m_records[index]);
}

QString frmSwitchDataFile::readFileData(const PictureFileRecord& record)
{
    AppState& state = m_context.state;
    if (record.FileKind == FileKind::Bitmap)
        return EncodeForType(record.TypeCode, record.Path, state, m_context.seam);
    QFile file(record.Path);
    const bool read = file.open(QIODevice::ReadOnly);
    const QByteArray bytes = read ? file.readAll() : QByteArray();
    const bool text = record.FileKind == FileKind::Text;
    if (!read) {
        m_context.seam.message(text ? QStringLiteral("Download failed. The selected item is "
                                                     "invalid data.")
                                    : QStringLiteral("Download failed. The selected item is an "
                                                     "invalid picture."),
                               ReadFailureTitle, MessageIcon::Information);
        return QString();
    }
    return text ? TextSwitchDataHexText(bytes) : SwitchDataHexText(record.TypeCode, bytes);
}

// "Refresh" and "L to R": the entry is read again, so a bitmap takes the row direction now set.
void frmSwitchDataFile::refreshData()
{
    AppState& state = m_context.state;
    if (state.BusyFlag || m_currentIndex <= 0)
        return;
    state.TypeCode = m_records[m_currentIndex].TypeCode;
    readSwitchData(m_currentIndex);
    showData(m_switchData.value(m_currentIndex));
}

// The data text goes as it stands: a switch data file is already in the controller's format.
void frmSwitchDataFile::downloadSwitchData()
{
    m_download->run(m_records.size() > 1 && m_currentIndex > 0, [this] {
        m_context.link.setTransferSource(m_records[m_currentIndex].Path);
        m_context.link.TransferData(options()->switchIdentifier()->isChecked(),
                                    m_context.state.CurrentAddress,
                                    m_switchData.value(m_currentIndex));
    });
}

// The file is binary whatever its name: a header for the type in force, then the data.
void frmSwitchDataFile::saveSwitchData()
{
    AppState& state = m_context.state;
    if (state.BusyFlag)
        return;
    QString path = m_context.seam.saveFileName(QStringLiteral("Save Switch Data to File"),
                                               m_context.programFolder,
                                               QStringLiteral("txt files (*.txt)|*.txt"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".txt");
    const QByteArray bytes =
        SwitchDataFileBytes(state.TypeCode, HexToBytes(m_switchData.value(m_currentIndex)));
    if (const QString problem = WriteWholeFile(path, bytes); !problem.isEmpty()) {
        m_context.seam.message(
            QStringLiteral("The switch data could not be saved to %1:\r%2").arg(path, problem),
            QStringLiteral("Save Switch Data to File"), MessageIcon::Exclamation);
    }
}

// What the controller sends back, less its 11 leading bytes, is shown as it came.
void frmSwitchDataFile::uploadData()
{
    AppState& state = m_context.state;
    if (state.BusyFlag || !famPicture->acceptAddress())
        return;
    txtSwitchData->clear();
    state.BusyFlag = true;
    famPicture->setEnabled(false);
    m_context.shell.setBusyCursor(true);
    UploadSwitchData(m_context.link, state.CurrentAddress);
    showData(state.ReplyLog);
    m_context.shell.setBusyCursor(false);
    famPicture->setEnabled(true);
    state.BusyFlag = false;
    state.CancelFlag = false;
}
