#pragma once

#include "AppState.h"
#include "ControllerLink.h"
#include "LinkViews.h"
#include "frmSinglePicture.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>

class AttributeEditors;
class PortCatalog;
class QLabel;
class QLineEdit;
class QMdiArea;
class QMdiSubWindow;
class QProgressBar;
class QPushButton;
class UiSeam;

// The program's frame: menu, six-panel status bar with the progress bar and the Quit button,
// the child screens, and the one controller link they share.
class MDI_MainForm : public QMainWindow, public LinkShell
{
    Q_OBJECT
public:
    static constexpr int PanelCount = 6;

    MDI_MainForm(AppState& state, PortCatalog& catalog, UiSeam& seam, const QString& programFolder,
                 QWidget* parent = nullptr);
    ~MDI_MainForm() override;

    // The start-up sequence. False when the program ended on the way (no usable port).
    bool start();
    // The port to open at start when it can be opened, instead of the first one.
    void setStartPort(int number) { m_startPort = number; }
    bool hasEnded() const { return m_ended; }

    AppState& state() { return m_state; }
    ControllerLink& link() { return m_link; }
    UiSeam& seam() { return m_seam; }
    const QString& programFolder() const { return m_programFolder; }
    AttributeEditors& editors() { return *m_editors; }

    void showSinglePicture();
    void showBatchPictures();
    void showSwitchData();
    void ControllerFeedback();
    void showAbout();
    // Quit button: stops whatever runs and ends the program.
    void quit();

    // Places a control over a status bar panel (1..6), where it stays when the window resizes.
    void PlaceInStatusBar(QWidget* control, int panel);
    QString panelText(int panel) const;
    // Display-only text boxes: whatever is typed into them is undone when they lose the focus.
    void protectField(QLineEdit* box);
    void ProtectedFieldGotFocus(QLineEdit* box);
    void ProtectedFieldLostFocus(QLineEdit* box);
    void fitToWorkArea(const QRect& workAreaPixels);

    frmSinglePicture* singlePicture() const { return m_single; }

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
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    void buildStatusBar();
    QMdiSubWindow* addScreen(QWidget* screen);
    void showPlaceholder(QPointer<QMdiSubWindow>& window, const QString& objectName,
                         const QString& caption);
    void onSubWindowActivated(QMdiSubWindow* window);

    AppState& m_state;
    UiSeam& m_seam;
    QString m_programFolder;
    ControllerLink m_link;
    std::unique_ptr<AttributeEditors> m_editors;
    QMdiArea* m_mdi = nullptr;
    QLabel* m_panels[PanelCount] = {};
    QProgressBar* m_progress = nullptr;
    QPushButton* m_quit = nullptr;
    QPointer<frmSinglePicture> m_single;
    QPointer<QMdiSubWindow> m_singleWindow;
    QPointer<QMdiSubWindow> m_batchWindow;
    QPointer<QMdiSubWindow> m_switchDataWindow;
    QPointer<QMdiSubWindow> m_activeWindow;
    QString m_protectedText;
    int m_startPort = 0;
    bool m_replyLogWritten = false;
    bool m_busyCursor = false;
    bool m_ended = false;
};
