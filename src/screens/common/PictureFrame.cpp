#include "PictureFrame.h"

#include "AppState.h"
#include "HexFieldEdit.h"
#include "Named.h"
#include "PicturePreview.h"
#include "ProtectedField.h"
#include "SwitchPreview.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {

bool isLcd(qint16 typeCode)
{
    return typeCode == SwitchTypeCode::Lcd36x24 || typeCode == SwitchTypeCode::Lcd64x32;
}

} // namespace

PictureFrame::PictureFrame(AppState& state, Prompter& prompter, QWidget* parent)
    : QGroupBox(QStringLiteral("Picture"), parent)
    , m_state(state)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("famPicture"));
    m_files = Named<QComboBox>("cmbFileName");
    m_files->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_files->setMinimumContentsLength(24);
    m_title = ProtectedBox("txtFileTitle");
    m_fileSize = ProtectedBox("txtFileSize");
    m_switchType = ProtectedBox("txtSwitchType");
    m_address = Named<QLineEdit>("txtAddress");
    m_address->setMaxLength(4);
    m_address->installEventFilter(this);
    m_previewBorder = Named<QFrame>("picHolderBorder");
    m_previewBorder->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_previewBorder->setFixedSize(PreviewBoxSize);
    m_preview = Named<QLabel>("picHolder", m_previewBorder);
    m_switchPreview = new SwitchPreview(QStringLiteral("picSwitchPreview"));

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Image:"), m_title);
    fields->addRow(QStringLiteral("File Size:"), m_fileSize);
    fields->addRow(QStringLiteral("Switch Type:"), m_switchType);
    fields->addRow(QStringLiteral("Address:"), m_address);
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_files, 0, 0, 1, 3);
    grid->addLayout(fields, 1, 0);
    grid->addWidget(m_previewBorder, 1, 1, Qt::AlignTop);
    grid->addWidget(m_switchPreview, 1, 2, Qt::AlignTop);
}

bool PictureFrame::acceptAddress()
{
    const QString result = ValidateAddressField(m_address, m_state.TypeCode, m_prompter);
    if (result == QLatin1String("Cancel"))
        return false;
    m_state.CurrentAddress = result;
    return true;
}

void PictureFrame::resetAddressFor(qint16 typeCode)
{
    m_address->setMaxLength(isLcd(typeCode) ? 2 : 4);
    m_address->setText(isLcd(typeCode) ? QStringLiteral("01") : QStringLiteral("0001"));
}

void PictureFrame::showFile(const PictureFileRecord& record)
{
    m_title->setText(record.Name);
    m_title->setCursorPosition(0); // a long name shows its beginning
    m_fileSize->setText(QString::number(record.FileLength));
}

bool PictureFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_address && event->type() == QEvent::FocusOut)
        acceptAddress();
    else if (watched == m_address && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, m_address, &QLineEdit::selectAll);
    return QGroupBox::eventFilter(watched, event);
}
