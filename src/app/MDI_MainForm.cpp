#include "MDI_MainForm.h"

#include "AttributeEditors.h"
#include "MdiScreen.h"
#include "UiSeam.h"
#include "WorkArea.h"
#include "frmAbout.h"
#include "frmBatchPicture.h"
#include "frmControllerView.h"
#include "frmSinglePicture.h"
#include "frmSwitchDataFile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

const QString ReplyFileName = QStringLiteral("Controller Reply.txt");
const QString StopAndQuitText = QStringLiteral("A transfer to the controller is running.\r\n"
                                               "Stop it and quit?");

// The Quit button acts on the press, so releasing the mouse elsewhere still quits.
class QuitButton : public QPushButton
{
public:
    QuitButton(std::function<void()> onPress, QWidget* parent)
        : QPushButton(QStringLiteral("Quit"), parent)
        , m_onPress(std::move(onPress))
    {
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (rect().contains(event->position().toPoint()))
            m_onPress();
        else
            QPushButton::mousePressEvent(event);
    }

private:
    std::function<void()> m_onPress;
};

template <typename Screen> QWidget* Build(ScreenContext& context)
{
    return new Screen(context);
}

// The screens, in menu order: menu entry, its caption, and how the screen is built. A new screen
// is one row here.
struct ScreenEntry
{
    const char* menuName;
    const char* caption;
    QWidget* (*build)(ScreenContext&);
};
const ScreenEntry Screens[] = {
    {"mnuSinglePicture", "&Single Picture", &Build<frmSinglePicture>},
    {"mnuBatchPictures", "&Batch Pictures", &Build<frmBatchPicture>},
    {"mnuSwitchData", "&Switch Data", &Build<frmSwitchDataFile>},
    {"mnuControllerView", "Controller &View", &Build<frmControllerView>},
};
// The screen the program starts with, and whose screen the link writes into at start-up.
constexpr int StartScreen = 0;
constexpr int SinglePictureScreen = 0;

} // namespace

std::unique_ptr<ProgramWindow> MakeProgramWindow(AppState& state, PortCatalog& catalog,
                                                 UiSeam& seam, const QString& programFolder)
{
    return std::make_unique<MDI_MainForm>(state, catalog, seam, programFolder);
}

MDI_MainForm::MDI_MainForm(AppState& state, PortCatalog& catalog, UiSeam& seam,
                           const QString& programFolder, QWidget* parent)
    : ProgramWindow(parent)
    , m_state(state)
    , m_seam(seam)
    , m_link(state, catalog, *this)
    , m_editors(std::make_unique<AttributeEditors>(state, seam, this))
    , m_context{state,
                m_link,
                seam,
                *this,
                *m_editors,
                programFolder,
                [this] { return singlePictureChoice(); },
                &m_addresses}
    , m_screens(std::size(Screens))
{
    setObjectName(QStringLiteral("MDI_MainForm"));
    setWindowTitle(QStringLiteral("Vantrel"));
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    // A screen larger than the window (a small desktop, a large font) scrolls instead of being cut.
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &MDI_MainForm::onSubWindowActivated);
    m_context.convertPicture = [this](const QString& path) { convertPicture(path); };
    m_addresses.followLink(m_link);
    buildMenu();
    buildStatusBar();
    resize(1000, 760);
}

void MDI_MainForm::setControllerMemory(ControllerMemory* memory)
{
    m_context.controllerMemory = memory;
    m_addresses.followMemory(memory);
}

MDI_MainForm::~MDI_MainForm()
{
    // The Convert dialogs hold the choices and the context, which go before the window's children.
    delete m_pictureConverter;
    delete m_folderConverter;
    m_link.abandonWaits();
    // The screens talk to the link; they go first, while it still exists.
    disconnect(m_mdi, nullptr, this, nullptr);
    m_link.setActiveScreen(nullptr);
    qDeleteAll(m_mdi->subWindowList());
    for (const OpenScreen& open : m_screens)
        delete open.screen; // built but never shown: start-up ended on the way
    m_editors.reset();
}

void MDI_MainForm::buildMenu()
{
    const auto entry = [this](const char* name, const char* caption) {
        QAction* action = menuBar()->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    for (int row = 0; row < int(std::size(Screens)); ++row) {
        connect(entry(Screens[row].menuName, Screens[row].caption), &QAction::triggered, this,
                [this, row] { showScreen(row); });
    }
    QMenu* convert = menuBar()->addMenu(QStringLiteral("Co&nvert"));
    convert->setObjectName(QStringLiteral("mnuConvert"));
    QAction* picture = convert->addAction(QStringLiteral("Convert &Picture..."));
    picture->setObjectName(QStringLiteral("mnuConvertPicture"));
    connect(picture, &QAction::triggered, this, [this] { convertPicture(QString()); });
    QAction* folder = convert->addAction(QStringLiteral("Convert &Folder..."));
    folder->setObjectName(QStringLiteral("mnuConvertFolder"));
    connect(folder, &QAction::triggered, this, &MDI_MainForm::convertFolder);
    connect(entry("mnuControllerFeedback", "&Controller Feedback"), &QAction::triggered, this,
            &MDI_MainForm::ControllerFeedback);
    connect(entry("mnuAbout", "&About"), &QAction::triggered, this, &MDI_MainForm::showAbout);
}

void MDI_MainForm::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("SbrMain"));
    bar->setSizeGripEnabled(false);
    const int stretch[PanelCount] = {0, 3, 2, 2, 1, 0};
    for (int i = 0; i < PanelCount; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("SbrMainPanel%1").arg(i + 1));
        m_panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addPermanentWidget(m_panels[i], stretch[i]);
    }
    m_panels[0]->setText(QStringLiteral("Progress:"));

    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("ctrProgress"));
    m_progress->setTextVisible(true);
    m_quit = new QuitButton([this] { quit(); }, nullptr);
    m_quit->setObjectName(QStringLiteral("cmbQuit"));
}

void MDI_MainForm::PlaceInStatusBar(QWidget* control, int panel)
{
    QLabel* host = m_panels[panel - 1];
    if (!host->layout()) {
        auto* layout = new QHBoxLayout(host);
        layout->setContentsMargins(1, 1, 1, 1);
    }
    host->layout()->addWidget(control);
    // A text panel is as wide as its text at least; a panel holding a control, as the control.
    host->setMinimumWidth(control->sizeHint().width() + 2 * host->frameWidth() + 2);
    control->setVisible(control != m_progress);
}

bool MDI_MainForm::start()
{
    m_link.setFlowControl(FlowControl::None);
    m_state.RequestedSpeed = 57600;
    m_link.setActiveScreen(dynamic_cast<LinkScreen*>(screenAt(StartScreen)));
    if (!m_link.EnumeratePorts()) {
        message(QStringLiteral("Program cannot find any available Comm Ports.\r\n"
                               "Please close a Comm Port and try again.\r\nClosing program."),
                QStringLiteral("No Available Comm Ports"), MessageIcon::Exclamation,
                MessageButtons::Ok);
        endProgram();
        return false;
    }
    const bool startPortOpens = m_state.PortList.contains(QString::number(m_startPort));
    m_state.RequestedPort = qint16(startPortOpens ? m_startPort : m_state.PortList.at(1).toInt());
    m_state.LeftToRightFlag = 1;
    PlaceInStatusBar(m_quit, 6);
    PlaceInStatusBar(m_progress, 2);
    show();
    showScreen(StartScreen);
    // The window opens holding the start screen, within the work area, and follows the work area.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        connect(screen, &QScreen::availableGeometryChanged, this, &MDI_MainForm::fitToWorkArea);
        fitToWorkArea(screen->availableGeometry());
    }
    return !m_ended;
}

QWidget* MDI_MainForm::screenAt(int row)
{
    OpenScreen& open = m_screens[row];
    if (!open.screen)
        open.screen = Screens[row].build(m_context);
    return open.screen;
}

// One dialog of each kind, kept while the program runs so that it reopens as it was left.
frmConvertPicture& MDI_MainForm::converter(frmConvertPicture::Mode mode)
{
    QPointer<frmConvertPicture>& dialog =
        mode == frmConvertPicture::Mode::Picture ? m_pictureConverter : m_folderConverter;
    if (!dialog) {
        dialog = new frmConvertPicture(mode, m_context, m_conversionChoices, this);
        connect(dialog, &frmConvertPicture::pictureSaved, this, &MDI_MainForm::choosePicture);
    }
    return *dialog;
}

void MDI_MainForm::convertPicture(const QString& path)
{
    converter(frmConvertPicture::Mode::Picture).openOn(path);
}

void MDI_MainForm::convertFolder()
{
    converter(frmConvertPicture::Mode::Folder).openOn(QString());
}

// A converted picture goes straight to the single picture screen, ready to download.
void MDI_MainForm::choosePicture(const QString& path)
{
    showScreen(SinglePictureScreen);
    static_cast<frmSinglePicture*>(screenAt(SinglePictureScreen))->choosePicture(path);
}

PictureChoice MDI_MainForm::singlePictureChoice()
{
    return static_cast<frmSinglePicture*>(screenAt(SinglePictureScreen))->choice();
}

QMdiSubWindow* MDI_MainForm::addScreen(QWidget* screen)
{
    QMdiSubWindow* window = m_mdi->addSubWindow(screen);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(screen->windowTitle());
    return window;
}

void MDI_MainForm::showScreen(int row)
{
    OpenScreen& open = m_screens[row];
    const bool opening = !open.window;
    if (opening) {
        open.window = addScreen(screenAt(row));
        open.window->resize(open.window->sizeHint());
    }
    open.window->show();
    // The area places a screen larger than itself partly before its origin; it starts whole.
    if (opening)
        open.window->move(std::max(0, open.window->x()), std::max(0, open.window->y()));
    m_mdi->setActiveSubWindow(open.window);
    // A screen opens whole: the main window grows to hold it as far as the work area allows, and
    // the screen area scrolls to what it still cannot hold.
    QScreen* screen = QGuiApplication::primaryScreen();
    if (opening && screen && isVisible()) {
        setGeometry(HoldInWorkArea(screen->availableGeometry(), geometry(), sizeToHoldScreens(),
                                   scrollBarExtent()));
    }
}

void MDI_MainForm::showAbout()
{
    frmAbout about(m_seam, this);
    about.exec();
}

void MDI_MainForm::onSubWindowActivated(QMdiSubWindow* window)
{
    // Focus moving to a message box and back is no change of screen.
    if (!window || window == m_activeWindow)
        return;
    if (m_activeWindow) {
        if (auto* previous = dynamic_cast<MdiScreen*>(m_activeWindow->widget()))
            previous->deactivate();
    }
    m_activeWindow = window;
    if (auto* screen = dynamic_cast<MdiScreen*>(window->widget()))
        screen->activate();
}

void MDI_MainForm::ControllerFeedback()
{
    const QString path = m_context.programFolder + QLatin1Char('/') + ReplyFileName;
    QFile file(path);
    // The first save after start begins the file afresh; later ones add to it.
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Text |
                                     (m_replyLogWritten ? QIODevice::Append : QIODevice::Truncate);
    if (file.open(mode)) {
        m_replyLogWritten = true;
        QTextStream(&file) << m_state.ReplyLog << '\n';
        file.close();
        m_state.ReplyLog.clear();
    }
    const UiSeam::ShellResult result = m_seam.openWithViewer(path);
    if (!result.ok) {
        message(QStringLiteral("Error with ShellExecute\r\n%1 %2")
                    .arg(result.errorNumber)
                    .arg(result.errorDescription),
                QStringLiteral("Unknown Error"), MessageIcon::Information, MessageButtons::Ok);
    }
}

void MDI_MainForm::watchPorts(PortEnumerator& enumerator, std::chrono::milliseconds interval)
{
    m_portWatch.disconnect();
    connect(&m_portWatch, &QTimer::timeout, this,
            [this, &enumerator] { m_link.refreshPorts(enumerator); });
    m_portWatch.start(interval);
}

void MDI_MainForm::quit()
{
    close();
}

// A download or batch in progress is the operator's work: it ends only when they say so. While
// the question is open the transfer waits for the answer.
void MDI_MainForm::closeEvent(QCloseEvent* event)
{
    if (!m_ended && m_state.BusyFlag &&
        message(StopAndQuitText, QStringLiteral("Quit"), MessageIcon::Question,
                MessageButtons::YesNo) != MessageAnswer::Yes) {
        event->ignore();
        return;
    }
    m_portWatch.stop();
    m_state.CancelFlag = true;
    m_state.StopTransferFlag = true;
    m_link.abandonWaits();
    m_link.ClosePort();
    event->accept();
    QCoreApplication::exit(m_ended ? 1 : 0);
}

void MDI_MainForm::endProgram()
{
    m_ended = true;
    close();
}

QString MDI_MainForm::panelText(int panel) const
{
    return m_panels[panel - 1]->text();
}

void MDI_MainForm::fitToWorkArea(const QRect& workAreaPixels)
{
    // The documented window sizes are in twips of a design drawn for an 8-point font; with a
    // larger font they grow in proportion, so the window holds what it was drawn to hold.
    const qreal twips = DesignTwipsPerPixel(logicalDpiX(), QFontInfo(font()).pointSizeF());
    const auto toTwips = [twips](const QRect& r) {
        return QRect(qRound(r.x() * twips), qRound(r.y() * twips), qRound(r.width() * twips),
                     qRound(r.height() * twips));
    };
    const QRect fitted = FitToWorkArea(toTwips(workAreaPixels), toTwips(geometry()));
    const QRect pixels(qRound(fitted.x() / twips), qRound(fitted.y() / twips),
                       qRound(fitted.width() / twips), qRound(fitted.height() / twips));
    setGeometry(HoldInWorkArea(workAreaPixels, pixels, sizeToHoldScreens(), scrollBarExtent()));
}

// The main window's size that shows every open screen whole where it stands in the screen area:
// what the main window holds around the area (menu, status bar, borders) plus the farthest corner
// of a screen, counted from the area's origin however far the area is scrolled.
QSize MDI_MainForm::sizeToHoldScreens() const
{
    const QPoint scrolled(m_mdi->horizontalScrollBar()->value(),
                          m_mdi->verticalScrollBar()->value());
    QPoint farthest;
    for (const QMdiSubWindow* window : m_mdi->subWindowList()) {
        const QPoint corner = window->geometry().bottomRight() + scrolled + QPoint(1, 1);
        farthest = QPoint(std::max(farthest.x(), corner.x()), std::max(farthest.y(), corner.y()));
    }
    const int border = 2 * m_mdi->frameWidth();
    return size() - m_mdi->size() + QSize(border + farthest.x(), border + farthest.y());
}

int MDI_MainForm::scrollBarExtent() const
{
    return m_mdi->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_mdi);
}

MessageAnswer MDI_MainForm::message(const QString& text, const QString& title, MessageIcon icon,
                                    MessageButtons buttons)
{
    return m_seam.message(text, title, icon, buttons);
}

void MDI_MainForm::setPanelText(int panel, const QString& text)
{
    m_panels[panel - 1]->setText(text);
}

void MDI_MainForm::setProgressVisible(bool visible)
{
    m_progress->setVisible(visible);
}

void MDI_MainForm::setProgressMaximum(int maximum)
{
    m_progress->setMaximum(maximum);
}

void MDI_MainForm::setProgressValue(int value)
{
    m_progress->setValue(value);
}

void MDI_MainForm::setBusyCursor(bool busy)
{
    if (busy == m_busyCursor)
        return;
    m_busyCursor = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::BusyCursor);
    else
        QApplication::restoreOverrideCursor();
}

void MDI_MainForm::beep()
{
    QApplication::beep();
}
