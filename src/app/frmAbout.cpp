#include "frmAbout.h"

#include "Named.h"
#include "ProgramMark.h"
#include "UiSeam.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString ProgramTitle = QStringLiteral("Vantrel");

} // namespace

QString LocateSystemInformation()
{
#ifdef Q_OS_WIN
    const QSettings msinfo(
        QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
        QSettings::NativeFormat);
    const QString path = msinfo.value(QStringLiteral("PATH")).toString();
    if (!path.isEmpty())
        return path;
    const QSettings location(
        QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location"),
        QSettings::NativeFormat);
    const QString folder = location.value(QStringLiteral("MSINFO")).toString();
    const QString program = folder + QStringLiteral("\\MSINFO32.EXE");
    return !folder.isEmpty() && QFileInfo::exists(program) ? program : QString();
#elif defined(Q_OS_MACOS)
    const QString app = QStringLiteral("/System/Applications/Utilities/System Information.app");
    return QFileInfo::exists(app) ? app : QString();
#else
    // The desktops' own system-information programs, the most complete first.
    for (const char* name : {"kinfocenter", "hardinfo2", "hardinfo", "gnome-system-monitor"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(name));
        if (!path.isEmpty())
            return path;
    }
    return QString();
#endif
}

frmAbout::frmAbout(UiSeam& seam, QWidget* parent, Locator locator)
    : QDialog(parent)
    , m_seam(seam)
    , m_locate(std::move(locator))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + ProgramTitle);

    auto* picIcon = Named<QLabel>("picIcon");
    picIcon->setPixmap(ProgramMark(48));
    auto* lblTitle = Named<QLabel>("lblTitle", ProgramTitle);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    auto* lblVersion = Named<QLabel>("lblVersion", QStringLiteral("Version " VANTREL_VERSION));
    auto* lblDescription = Named<QLabel>(
        "lblDescription",
        QStringLiteral("This program was designed and programmed by Quorvel to download "
                       "commands, images and attributes to the various controller types of the "
                       "Glintkey series."));
    auto* lblDisclaimer = Named<QLabel>(
        "lblDisclaimer",
        QStringLiteral("Disclaimer: This program is only to be used for its intended purpose.\r\n"
                       "This software was tested on several Windows XP computers; Quorvel is not "
                       "responsible for software issues or conflicts that may occur during its "
                       "use."));
    auto* imgQuorvelLogo = Named<QLabel>("imgQuorvelLogo");
    imgQuorvelLogo->setPixmap(ProgramMark(32));
    for (QLabel* text : {lblDescription, lblDisclaimer}) {
        text->setWordWrap(true);
        text->setMinimumWidth(360);
    }
    auto* cmdOK = Named<QPushButton>("cmdOK", QStringLiteral("OK"));
    auto* cmdSysInfo = Named<QPushButton>("cmdSysInfo", QStringLiteral("&System Info..."));
    cmdOK->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(picIcon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(lblDescription, 2, 1);
    grid->addWidget(lblDisclaimer, 3, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();
    buttons->addWidget(imgQuorvelLogo, 0, Qt::AlignRight);
    grid->addLayout(buttons, 0, 2, 4, 1);
    grid->setRowStretch(3, 1);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
}

void frmAbout::StartSysInfo()
{
    const QString program = m_locate();
    if (!program.isEmpty()) {
#ifdef Q_OS_MACOS
        if (m_seam.startProgram(QStringLiteral("open"), {QStringLiteral("-a"), program}).ok)
            return;
#else
        if (m_seam.startProgram(program, {}).ok)
            return;
#endif
    }
    m_seam.message(QStringLiteral("System Information Is Unavailable At This Time"), QString(),
                   MessageIcon::None, MessageButtons::Ok);
}
