#include "MDI_MainForm.h"

#include "AttributeEditors.h"
#include "Conversions.h"
#include "TrafficLogView.h"
#include "UiSeam.h"
#include "WorkArea.h"
#include "frmAbout.h"
#include "frmBatchPicture.h"
#include "frmSinglePicture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextStream>

#include <functional>

namespace {

const QString ReplyFileName = QStringLiteral("Controller Reply.txt");

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

} // namespace

MDI_MainForm::MDI_MainForm(AppState& state, PortCatalog& catalog, UiSeam& seam,
                           const QString& programFolder, QWidget* parent)
    : QMainWindow(parent)
    , m_state(state)
    , m_seam(seam)
    , m_programFolder(programFolder)
    , m_link(state, catalog, *this)
    , m_editors(std::make_unique<AttributeEditors>(state, seam, this))
{
    setObjectName(QStringLiteral("MDI_MainForm"));
    setWindowTitle(QStringLiteral("Vantrel"));
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &MDI_MainForm::onSubWindowActivated);
    buildMenu();
    buildStatusBar();
    resize(1000, 760);
}

MDI_MainForm::~MDI_MainForm()
{
    m_link.abandonWaits();
    // The screens talk to the link; they go first, while it still exists.
    disconnect(m_mdi, nullptr, this, nullptr);
    m_link.setActiveScreen(nullptr);
    qDeleteAll(m_mdi->subWindowList());
    delete m_single;
    m_editors.reset();
}

void MDI_MainForm::buildMenu()
{
    struct Item
    {
        const char* name;
        const char* caption;
        void (MDI_MainForm::*handler)();
    };
    const Item items[] = {
        {"mnuSinglePicture", "&Single Picture", &MDI_MainForm::showSinglePicture},
        {"mnuBatchPictures", "&Batch Pictures", &MDI_MainForm::showBatchPictures},
        {"mnuSwitchData", "&Switch Data", &MDI_MainForm::showSwitchData},
        {"mnuControllerFeedback", "&Controller Feedback", &MDI_MainForm::ControllerFeedback},
        {"mnuAbout", "&About", &MDI_MainForm::showAbout},
    };
    for (const Item& item : items) {
        QAction* action = menuBar()->addAction(QString::fromLatin1(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
        connect(action, &QAction::triggered, this, item.handler);
    }
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
        m_panels[i]->setMinimumWidth(stretch[i] == 0 ? 80 : 60);
        bar->addPermanentWidget(m_panels[i], stretch[i]);
    }
    m_panels[0]->setText(QStringLiteral("Progress:"));

    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("ctrProgress"));
    m_progress->setTextVisible(false);
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
    control->setVisible(control != m_progress);
}

bool MDI_MainForm::start()
{
    m_link.setFlowControl(FlowControl::None);
    m_state.RequestedSpeed = 57600;
    m_single = new frmSinglePicture(*this);
    m_link.setActiveScreen(m_single);
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
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        connect(screen, &QScreen::availableGeometryChanged, this, &MDI_MainForm::fitToWorkArea);
        fitToWorkArea(screen->availableGeometry());
    }
    show();
    showSinglePicture();
    return !m_ended;
}

QMdiSubWindow* MDI_MainForm::addScreen(QWidget* screen)
{
    QMdiSubWindow* window = m_mdi->addSubWindow(screen);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(screen->windowTitle());
    return window;
}

void MDI_MainForm::showSinglePicture()
{
    if (!m_single)
        m_single = new frmSinglePicture(*this);
    if (!m_singleWindow) {
        m_singleWindow = addScreen(m_single);
        m_singleWindow->resize(m_singleWindow->sizeHint().boundedTo(m_mdi->viewport()->size()));
    }
    m_singleWindow->show();
    m_mdi->setActiveSubWindow(m_singleWindow);
}

void MDI_MainForm::showPlaceholder(QPointer<QMdiSubWindow>& window, const QString& objectName,
                                   const QString& caption)
{
    if (!window) {
        auto* screen = new QWidget;
        screen->setObjectName(objectName);
        screen->setWindowTitle(caption);
        screen->setMinimumSize(640, 480);
        window = addScreen(screen);
    }
    window->show();
    m_mdi->setActiveSubWindow(window);
}

void MDI_MainForm::showBatchPictures()
{
    if (!m_batchWindow) {
        m_batchWindow = addScreen(new frmBatchPicture(*this));
        m_batchWindow->resize(m_batchWindow->sizeHint().boundedTo(m_mdi->viewport()->size()));
    }
    m_batchWindow->show();
    m_mdi->setActiveSubWindow(m_batchWindow);
}

void MDI_MainForm::showSwitchData()
{
    showPlaceholder(m_switchDataWindow, QStringLiteral("frmSwitchDataFile"),
                    QStringLiteral("Switch Data"));
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
    const QString path = m_programFolder + QLatin1Char('/') + ReplyFileName;
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

void MDI_MainForm::quit()
{
    m_state.CancelFlag = true;
    m_state.StopTransferFlag = true;
    m_link.abandonWaits();
    close();
}

void MDI_MainForm::closeEvent(QCloseEvent* event)
{
    m_state.CancelFlag = true;
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

void MDI_MainForm::protectField(QLineEdit* box)
{
    box->installEventFilter(this);
}

bool MDI_MainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (auto* box = qobject_cast<QLineEdit*>(watched)) {
        if (event->type() == QEvent::FocusIn)
            ProtectedFieldGotFocus(box);
        else if (event->type() == QEvent::FocusOut)
            ProtectedFieldLostFocus(box);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MDI_MainForm::ProtectedFieldGotFocus(QLineEdit* box)
{
    m_protectedText = box->text();
    // Selecting on the focus event itself is undone by the click that gave the focus.
    QMetaObject::invokeMethod(box, &QLineEdit::selectAll, Qt::QueuedConnection);
}

void MDI_MainForm::ProtectedFieldLostFocus(QLineEdit* box)
{
    box->setText(m_protectedText);
}

void MDI_MainForm::fitToWorkArea(const QRect& workAreaPixels)
{
    const int twips = TwipsPerPixel(logicalDpiX());
    const auto toTwips = [twips](const QRect& r) {
        return QRect(r.x() * twips, r.y() * twips, r.width() * twips, r.height() * twips);
    };
    const QRect fitted = FitToWorkArea(toTwips(workAreaPixels), toTwips(geometry()));
    setGeometry(fitted.x() / twips, fitted.y() / twips, fitted.width() / twips,
                fitted.height() / twips);
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
