// Talking to the controller from the single picture screen: picture download and address clear
// with their busy state and outcomes, attribute download, the controller tools and raw data
// files.

#include "frmSinglePicture.h"

#include "AppState.h"
#include "AttributeEditors.h"
#include "ControllerLink.h"
#include "ControllerMessages.h"
#include "ControllerOperations.h"
#include "ControllerOptions.h"
#include "Conversions.h"
#include "LcdAttributeEditor.h"
#include "OledAttributeEditor.h"
#include "PictureDownload.h"
#include "PictureEncoding.h"
#include "PictureFrame.h"
#include "PortFrame.h"
#include "SwitchCommands.h"
#include "UiSeam.h"
#include "frmCharacter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

void frmSinglePicture::setDownloadedCount(int count)
{
    m_context.shell.setPanelText(4, DownloadedFilesText(count));
}

void frmSinglePicture::downloadPicture()
{
    AppState& state = m_context.state;
    m_download->run(m_records.size() > 1 && m_currentIndex > 0, [&] {
        const QString block = EncodeDownloadBlock(m_records[m_currentIndex], state, m_context.seam);
        if (state.TypeCode >= SwitchTypeCode::Lcd36x24 &&
            state.TypeCode <= SwitchTypeCode::Color96x64) {
            m_context.link.setTransferSource(m_records[m_currentIndex].Path);
            m_context.link.TransferData(options()->switchIdentifier()->isChecked(),
                                        state.CurrentAddress, block);
        }
    });
}

void frmSinglePicture::clearAddress()
{
    AppState& state = m_context.state;
    if (state.BusyFlag || !famPicture->acceptAddress() || !ConfirmClearType(state, m_context.seam))
        return;
    m_download->enter();
    m_context.shell.setPanelText(4, QString());
    reportClear(ClearAddress(m_context.link, options()->switchIdentifier()->isChecked(),
                             state.CurrentAddress));
    m_download->leave();
}

void frmSinglePicture::reportClear(ReplyOutcome outcome)
{
    AppState& state = m_context.state;
    if (state.CancelFlag) {
        m_context.shell.setPanelText(2, QStringLiteral("Download Canceled"));
        return;
    }
    switch (outcome) {
    case ReplyOutcome::NotReady:
        m_context.shell.setPanelText(4, QStringLiteral("No controller reply"));
        break;
    case ReplyOutcome::Refused:
        m_context.shell.setPanelText(2, QStringLiteral("Address not cleared"));
        ShowControllerError(m_context.seam, ReplyCodes::Refused);
        state.ReplyCode.clear();
        break;
    case ReplyOutcome::Done:
        m_context.shell.setPanelText(2,
                                     QStringLiteral("Address %1 Clear").arg(state.CurrentAddress));
        break;
    default: // silence, or a blocked line the port status box reports
        break;
    }
}

void frmSinglePicture::downloadAttributes()
{
    AppState& state = m_context.state;
    if (state.BusyFlag || !famPicture->acceptAddress() ||
        !ConfirmAttributeType(state, m_context.seam))
        return;
    ControllerLink& link = m_context.link;
    state.BusyFlag = true;
    switch (SendAttributeCommand(
        link, BuildAttributeCommand(options()->switchIdentifier()->isChecked(), state.TypeCode,
                                    m_records, state.CurrentAddress, m_currentIndex))) {
    case ReplyOutcome::NotReady:
    case ReplyOutcome::LineBlocked: // the port status box says how far it got
        m_context.shell.setPanelText(4, QStringLiteral("No controller reply"));
        break;
    case ReplyOutcome::Refused:
        ShowControllerError(m_context.seam, ReplyCodes::Refused);
        break;
    case ReplyOutcome::Done:
        m_context.shell.setPanelText(4, QStringLiteral("Attributes downloaded"));
        break;
    default:
        ShowUnexpectedReply(m_context.seam);
        break;
    }
    state.ReplyCode.clear();
    // A port lost during the wait, or a blocked line, keeps its own status text.
    if (link.isPortOpen() && !link.lineBlocked())
        setPortStatus(link.openStatusText());
    state.BusyFlag = false;
    state.CancelFlag = false;
}

void frmSinglePicture::callController()
{
    m_context.shell.setPanelText(4, CallController(m_context.link) == ReplyOutcome::NotReady
                                        ? QStringLiteral("No controller reply")
                                        : QStringLiteral("Command received"));
}

void frmSinglePicture::resetController()
{
    m_context.link.SendHexCommand(QStringLiteral("24"));
    cmdShowPicture->setFocus();
}

void frmSinglePicture::testLed(int index)
{
    m_context.link.SendHexCommand(LedTesterCommand(index));
    cmdLEDs[(index + 1) % LedButtonCount]->setFocus();
}

// The record's attributes come from the type's editor; what the editor returns is kept only
// when the operator pressed Select.
void frmSinglePicture::editAttributes()
{
    AppState& state = m_context.state;
    if (state.BusyFlag || m_currentIndex <= 0)
        return;
    state.BusyFlag = true;
    AttributeEditors& editors = m_context.editors;
    PictureFileRecord& record = m_records[m_currentIndex];
    const int index = m_currentIndex;
    if (LcdAttributeEditor* editor = editors.lcdEditorFor(state.TypeCode)) {
        editor->setBackgroundColoron(record.BackgroundColoron);
        editor->setBackgroundColoroff(record.BackgroundColoroff);
        editor->setLEDon(record.LEDon);
        editor->setLEDoff(record.LEDoff);
        editor->setSwitchingAttributes(state.SwitchingAttributesList.value(index));
        editor->setNumbofSwitch(state.SwitchCountList.value(index));
        editor->exec();
        if (!editor->CancelChange()) {
            record.BackgroundColoron = editor->BackgroundColoron();
            record.BackgroundColoroff = editor->BackgroundColoroff();
            record.LEDon = editor->LEDon();
            record.LEDoff = editor->LEDoff();
            state.SwitchingAttributesList[index] = editor->SwitchingAttributes();
            state.SwitchCountList[index] = editor->NumbofSwitch();
            const QString attributes = editor->SwitchingAttributes();
            switch (editor->NumbofSwitch()) {
            case 2:
                record.Attributes = attributes.left(12);
                break;
            case 8:
                record.Attributes = attributes.left(16);
                break;
            case 16:
                record.Attributes = attributes;
                break;
            default:
                break;
            }
        }
    } else if (OledAttributeEditor* editor = editors.oledEditorFor(state.TypeCode)) {
        editor->setSwitchingAttributes(state.SwitchingAttributesList.value(index));
        editor->exec();
        if (!editor->CancelChange()) {
            state.SwitchingAttributesList[index] = editor->SwitchingAttributes();
            record.Attributes = editor->SwitchingAttributes().left(
                state.TypeCode == SwitchTypeCode::Mono96x64 ? 28 : 16);
        }
    }
    state.BusyFlag = false;
    updateSwitchPreview(); // an LCD 36x24 picture shows its new LED colour
}

void frmSinglePicture::downloadTextFile()
{
    AppState& state = m_context.state;
    if (state.BusyFlag)
        return;
    frmCharacter& picker = m_context.editors.character();
    picker.exec();
    if (picker.Cancel())
        return;
    const QString path =
        m_context.seam.openFileName(QStringLiteral("Download Text File"), m_context.programFolder,
                                    QStringLiteral("txt files (*.txt)|*.txt|All Files|*"));
    if (path.isEmpty())
        return;
    state.ReplyCode.clear();
    state.BusyFlag = true;
    famPicture->setEnabled(false);
    m_context.shell.setBusyCursor(true);
    m_download->setCancelLive(true);
    cmdCancel->setFocus();
    setDownloadedCount(0);
    if (ReadFileHeader(path) != RawDataHeader) {
        m_context.shell.setPanelText(5, QStringLiteral("Error while downloading"));
        m_context.seam.message(QStringLiteral("File does not contain correct header."),
                               QStringLiteral("Downloading Error"), MessageIcon::Exclamation);
    } else if (SendTextFile(m_context.link, path, picker.SendAsCharacters()) ==
               TextFileSend::Sent) {
        setDownloadedCount(1);
    }
    state.ReplyCode.clear();
    famPicture->setEnabled(true);
    m_context.shell.setBusyCursor(false);
    m_download->setCancelLive(false);
    state.BusyFlag = false;
    state.CancelFlag = false;
    state.StopTransferFlag = false;
}
