#pragma once

#include "AppState.h"
#include "ControllerLink.h"
#include "ControllerViewModel.h"
#include "LinkViews.h"
#include "ProgramWindow.h"
#include "ScreenContext.h"
#include "frmConvertPicture.h"

#include <QPointer>
#include <QTimer>

#include <memory>
#include <vector>

class AttributeEditors;
class PortCatalog;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QProgressBar;
class QPushButton;
class UiSeam;

// The program's frame: menu, six-panel status bar with the progress bar and the Quit button,
// the child screens, and the one controller link they share. The screens come from a table of
// menu entry, caption and factory; each is built with a ScreenContext and never sees this class.
class MDI_MainForm : public ProgramWindow, public LinkShell
{
    Q_OBJECT
public:
    static constexpr int PanelCount = 6;

    MDI_MainForm(AppState& state, PortCatalog& catalog, UiSeam& seam, const QString& programFolder,
                 QWidget* parent = nullptr);
    ~MDI_MainForm() override;

    // ProgramWindow
    bool start() override;
    void setStartPort(int number) override { m_startPort = number; }
    bool hasEnded() const override { return m_ended; }
    void watchPorts(PortEnumerator& enumerator, std::chrono::milliseconds interval) override;
    ControllerLink& link() override { return m_link; }
    void setControllerMemory(ControllerMemory* memory) override;
    QString panelText(int panel) const override;
    void ControllerFeedback() override;

    AttributeEditors& editors() { return *m_editors; }

    // Shows the screen of row `row` of the screen table, building it on first use.
    void showScreen(int row);
    void showAbout();
    // "Convert Picture..." (on `path` when given) and "Convert Folder...".
    void convertPicture(const QString& path);
    void convertFolder();
    // Quit button: ends the program, as closing the window does.
    void quit();

    // Places a control over a status bar panel (1..6), where it stays when the window resizes.
    void PlaceInStatusBar(QWidget* control, int panel);
    // Sizes the window to hold the active screen, within the desktop's work area.
    void fitToWorkArea(const QRect& workAreaPixels);

    // LinkShell
    MessageAnswer message(const QString& text, const QString& title, MessageIcon icon,
                          MessageButtons buttons) override;
    void setPanelText(int panel, const QString& text) override;
    void setProgressVisible(bool visible) override;
    void setProgressMaximum(int maximum) override;
    void setProgressValue(int value) override;
    void setBusyCursor(bool busy) override;
    void beep() override;
    void endProgram() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    frmConvertPicture& converter(frmConvertPicture::Mode mode);
    void choosePicture(const QString& path);
    void buildStatusBar();
    QWidget* screenAt(int row);
    PictureChoice singlePictureChoice();
    QMdiSubWindow* addScreen(QWidget* screen);
    void onSubWindowActivated(QMdiSubWindow* window);
    QSize sizeToHoldScreens() const;
    int scrollBarExtent() const;

    // One per row of the screen table: the screen once built, and its window once shown.
    struct OpenScreen
    {
        QPointer<QWidget> screen;
        QPointer<QMdiSubWindow> window;
    };

    AppState& m_state;
    UiSeam& m_seam;
    ControllerLink m_link;
    std::unique_ptr<AttributeEditors> m_editors;
    ControllerViewModel m_addresses;
    ScreenContext m_context;
    std::vector<OpenScreen> m_screens;
    ConversionChoices m_conversionChoices;
    QPointer<frmConvertPicture> m_pictureConverter;
    QPointer<frmConvertPicture> m_folderConverter;
    QMdiArea* m_mdi = nullptr;
    QLabel* m_panels[PanelCount] = {};
    QProgressBar* m_progress = nullptr;
    QPushButton* m_quit = nullptr;
    QPointer<QMdiSubWindow> m_activeWindow;
    QTimer m_portWatch;
    int m_startPort = 0;
    bool m_replyLogWritten = false;
    bool m_busyCursor = false;
    bool m_ended = false;
};
