#pragma once

#include <QDialog>

struct AppState;
class EditorScreen;
class FieldChecks;
class Prompter;
class QHBoxLayout;
class QLineEdit;
class QPushButton;

// Control arrays are named "name_index", index from 0.
QString ControlArrayName(const char* name, int index);

// What the LCD and OLED attribute editors share: the "Switch Attributes" window with its
// "Image Address:" box, the entry-box checks, Select and Cancel, and the answer the caller reads.
//
// Caller protocol: set the properties, exec(), then read the properties back unless
// CancelChange() is true. Read CancelChange(), not exec()'s result: closing the window with its
// title-bar button repeats the answer of the previous closing (Select at first).
class AttributeEditorDialog : public QDialog
{
    Q_OBJECT
public:
    // Index of the edited picture in the caller's list; kept for the caller, not used here.
    qint16 currentSwitch() const { return m_currentSwitch; }
    void setCurrentSwitch(qint16 index) { m_currentSwitch = index; }
    bool CancelChange() const { return m_cancelChange; }

    // The screen whose address box and colour boxes the editor reads and writes; none by default.
    // The screen clears it before it goes away.
    void setScreen(EditorScreen* screen) { m_screen = screen; }

protected:
    AttributeEditorDialog(const char* objectName, AppState& state, Prompter& prompter,
                          QWidget* parent);

    // Fills the controls from the properties; runs at every opening.
    virtual void load() = 0;
    // Select's computation: the properties take the controls' values.
    virtual void commit() = 0;
    // Closing by any means; false keeps the window open.
    virtual bool leave() = 0;

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

    // A hex entry box holding `digits` digits, checked by width and value when the operator
    // leaves it.
    QLineEdit* addHexField(const QString& objectName, int digits);
    // Select and Cancel, right-aligned.
    QHBoxLayout* buttonRow();
    // The dialog's address text goes to the screen's address box.
    void handBackAddress();

    AppState& m_state;
    Prompter& m_prompter;
    EditorScreen* m_screen = nullptr;
    FieldChecks* m_checks = nullptr;
    QLineEdit* m_txtAddress = nullptr;
    bool m_cancelChange = false;

private:
    void onSelect();
    void onCancel();

    qint16 m_currentSwitch = 0;
    QPushButton* m_cmdSelect = nullptr;
    QPushButton* m_cmdCancel = nullptr;
};

// Width for an entry box of `digits` hex digits in this box's font.
void FitToDigits(QLineEdit* box, int digits);
