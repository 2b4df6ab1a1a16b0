// Choosing a picture on the single picture screen: import, selection, the length gate, the
// controls that follow the picture's type, and the address box.

#include "frmSinglePicture.h"

#include "AppState.h"
#include "AttributeEditors.h"
#include "ControllerLink.h"
#include "ControllerOptions.h"
#include "FileClassification.h"
#include "LcdAttributeEditor.h"
#include "ListSelection.h"
#include "PictureConversion.h"
#include "PictureEncoding.h"
#include "PictureFrame.h"
#include "PicturePreview.h"
#include "PortFrame.h"
#include "Prompter.h"
#include "SwitchPreview.h"
#include "UiSeam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString ImportEntry = QStringLiteral("Import bmp");

// The file lengths a picture can be downloaded from. A 96x64 colour picture of 18486 bytes is
// recognised, but only the 18488-byte form downloads.
bool isDownloadableLength(qint32 length)
{
    static const qint32 Accepted[] = {254, 318, 830, 832, 5672, 9270, 9272, 18488};
    return std::find(std::begin(Accepted), std::end(Accepted), length) != std::end(Accepted);
}

// The colour number of a preview box: red + 256 x green + 65536 x blue, as decimal text.
QColor colourFromNumber(const QString& number)
{
    const qint64 value = number.toLongLong();
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

} // namespace

void frmSinglePicture::onFileChosen()
{
    if (m_context.state.BusyFlag)
        return;
    if (cmbFileName->currentText() == ImportEntry && !importPicture())
        SelectListEntrySilently(cmbFileName, m_currentIndex);
    const int index = FindRecordByPath(m_records, cmbFileName->currentText());
    if (index <= 0)
        return;
    m_currentIndex = index;
    PictureFileRecord& record = m_records[index];
    ShowPicturePreview(record.Path, picHolder, picHolderBorder);
    famPicture->showFile(record);
    if (passesLengthGate(record)) {
        AppState& state = m_context.state;
        state.TypeCode = record.TypeCode;
        txtSwitchType->setText(record.TypeText);
        applyTypeControls(record);
        state.CurrentAddress = txtAddress->text();
        reopenRequestedPort();
    }
    updateSwitchPreview();
}

// What a download would send now: this picture through the encoder of the type in force (which a
// file refused by the length gate leaves as it was), with the record's LED codes.
void frmSinglePicture::updateSwitchPreview()
{
    if (m_currentIndex <= 0)
        return famPicture->switchPreview()->clear();
    SilentPrompter quiet; // an unreadable file is reported when it is sent, not when it is shown
    AppState& state = m_context.state;
    famPicture->switchPreview()->showData(
        state.TypeCode, EncodeDownloadBlock(m_records[m_currentIndex], state, quiet));
}

// Adds a bitmap the operator picks to the list and selects it; a path already listed is only
// selected. Any other picture goes to "Convert Picture..." first, which lists it once saved. False
// when nothing was selected.
bool frmSinglePicture::importPicture()
{
    const QString filter = QStringLiteral("bmp files (*.bmp)|*.bmp|Other pictures, to convert|") +
                           ReadablePicturePatterns().join(u';');
    const QString path = m_context.seam.openFileName(ImportEntry, m_context.programFolder, filter);
    if (path.isEmpty())
        return false;
    if (!isDownloadableLength(qint32(QFileInfo(path).size())) && QImageReader(path).canRead()) {
        m_context.convertPicture(path);
        return false;
    }
    return listPicture(path);
}

void frmSinglePicture::choosePicture(const QString& path)
{
    if (!m_context.state.BusyFlag && listPicture(path))
        onFileChosen();
}

bool frmSinglePicture::listPicture(const QString& path)
{
    if (const int listed = cmbFileName->findText(path, Qt::MatchExactly | Qt::MatchCaseSensitive);
        listed > 0)
        return SelectListEntrySilently(cmbFileName, listed);
    FileObjects objects;
    if (!OpenFileObjects(path, QString(), objects))
        return false;
    cmbFileName->addItem(path);
    ClassifyFile(m_records, objects.File, cmbFileName->count() - 1, m_context.state,
                 lcd64x32Defaults());
    return SelectListEntrySilently(cmbFileName, cmbFileName->count() - 1);
}

bool frmSinglePicture::passesLengthGate(const PictureFileRecord& record)
{
    if (isDownloadableLength(record.FileLength))
        return true;
    const QString size = QStringLiteral("File Size: %1").arg(record.FileLength);
    if (record.FileLength == 256) {
        m_context.seam.message(
            QStringLiteral("Image is 256 bytes in size. For 36x24 it should be 254 bytes.\r"
                           "Image may not load properly.\r") +
                size,
            QStringLiteral("Vantrel"), MessageIcon::Exclamation);
    } else {
        m_context.seam.message(
            QStringLiteral("Invalid image attributes.\rImage may not load properly.\r") + size,
            QStringLiteral("Vantrel"), MessageIcon::Exclamation);
        txtSwitchType->clear();
    }
    return false;
}

void frmSinglePicture::applyTypeControls(const PictureFileRecord& record)
{
    const qint16 type = record.TypeCode;
    const bool lcd = type == SwitchTypeCode::Lcd36x24 || type == SwitchTypeCode::Lcd64x32;
    for (QWidget* preview :
         {static_cast<QWidget*>(picOnCycle), static_cast<QWidget*>(picOffCycle),
          static_cast<QWidget*>(lblOnCycle1), static_cast<QWidget*>(lblOffCycle1)})
        preview->setVisible(lcd);
    lblLEDinfo->setVisible(type == SwitchTypeCode::Lcd36x24);
    options()->leftToRight()->setVisible(!lcd);
    famPicture->resetAddressFor(type);
    if (type == SwitchTypeCode::Lcd36x24 || type == SwitchTypeCode::Oled52x36)
        famBicolorTest->hide();
    if (lcd) {
        primeLcdEditor(m_records[m_currentIndex]);
        showCycleColours(m_records[m_currentIndex]);
    }
}

// The LCD editors hold the picture's LED colours between openings; the record's own values are
// put into the editor as the picture is chosen.
void frmSinglePicture::primeLcdEditor(PictureFileRecord& record)
{
    AttributeEditors& editors = m_context.editors;
    if (record.TypeCode == SwitchTypeCode::Lcd36x24) {
        frmBackground3624& editor = editors.lcd36x24();
        editor.setBackgroundColoron(record.BackgroundColoron);
        editor.setBackgroundColoroff(record.BackgroundColoroff);
        editor.setLEDon(record.LEDon);
        editor.setLEDoff(record.LEDoff);
        record.LEDon = editor.LEDon();
        record.LEDoff = editor.LEDoff();
        editor.setSwitchingAttributes(record.Attributes);
    } else {
        frmBackground6432& editor = editors.lcd64x32();
        editor.setBackgroundColoron(record.BackgroundColoron);
        editor.setBackgroundColoroff(record.BackgroundColoroff);
        editor.setSwitchingAttributes(record.Attributes);
        editor.setLEDon(record.Attributes.mid(12, 2));
        editor.setLEDoff(record.Attributes.mid(14, 2));
    }
}

void frmSinglePicture::showCycleColours(const PictureFileRecord& record)
{
    const QColor face = palette().color(QPalette::Button);
    paintCycleBox(picOnCycle, record.BackgroundColoron.isEmpty()
                                  ? face
                                  : colourFromNumber(record.BackgroundColoron));
    paintCycleBox(picOffCycle, record.BackgroundColoroff.isEmpty()
                                   ? face
                                   : colourFromNumber(record.BackgroundColoroff));
}

void frmSinglePicture::paintCycleBox(QFrame* box, const QColor& colour)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, colour);
    box->setPalette(palette);
}

void frmSinglePicture::setCycleColours(const QColor& on, const QColor& off)
{
    paintCycleBox(picOnCycle, on);
    paintCycleBox(picOffCycle, off);
}

QString frmSinglePicture::editorAddressText() const
{
    return txtAddress->text();
}

void frmSinglePicture::setEditorAddressText(const QString& text)
{
    txtAddress->setText(text);
    m_context.state.CurrentAddress = text;
}

const Lcd64x32Defaults& frmSinglePicture::lcd64x32Defaults()
{
    return m_context.editors.lcd64x32Defaults();
}

// The port combo always shows the requested port; the speed is taken from its combo.
void frmSinglePicture::reopenRequestedPort()
{
    m_context.link.ClosePort();
    m_context.state.RequestedSpeed = portFrame()->speedText().toInt();
    m_context.link.OpenPort();
}

PictureChoice frmSinglePicture::choice() const
{
    const PictureFileRecord none;
    const PictureFileRecord& record = m_currentIndex > 0 ? m_records[m_currentIndex] : none;
    return {record.Path,           txtFileTitle->text(), txtFileSize->text(),
            txtSwitchType->text(), txtAddress->text(),   record.TypeCode};
}
