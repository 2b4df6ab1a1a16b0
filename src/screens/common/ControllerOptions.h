#pragma once

#include <QWidget>

struct AppState;
class QCheckBox;

// The controller options of a screen: "Switch Identifier" (send the type letter), "L to R" and
// "Controller". "Controller" turns reply checking on and off; "L to R" sets the colour mirroring,
// except while a download runs, when it springs back.
class ControllerOptions : public QWidget
{
    Q_OBJECT
public:
    explicit ControllerOptions(AppState& state, QWidget* parent = nullptr);

    QCheckBox* switchIdentifier() const { return m_switchIdentifier; }
    QCheckBox* leftToRight() const { return m_leftToRight; }
    QCheckBox* controller() const { return m_controller; }

    // The screen contract: the boxes show the shared flags on activation and "Controller" goes
    // back into them on deactivation.
    void showFlags();
    void keepControllerFlag();

private:
    AppState& m_state;
    QCheckBox* m_switchIdentifier = nullptr;
    QCheckBox* m_leftToRight = nullptr;
    QCheckBox* m_controller = nullptr;
};
