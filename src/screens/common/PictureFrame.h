#pragma once

#include "PictureFileRecord.h"

#include <QGroupBox>

struct AppState;
class Prompter;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class SwitchPreview;

// The picture frame "famPicture" of a screen that sends one picture to one address: the file
// list, the chosen file's name, size and switch type, the address box, the file's preview and
// beside it what the switch will show. The address box is checked when the focus leaves it and
// selected whole when the focus comes in.
class PictureFrame : public QGroupBox
{
    Q_OBJECT
public:
    PictureFrame(AppState& state, Prompter& prompter, QWidget* parent = nullptr);

    QComboBox* files() const { return m_files; }
    QLineEdit* title() const { return m_title; }
    QLineEdit* fileSize() const { return m_fileSize; }
    QLineEdit* switchType() const { return m_switchType; }
    QLineEdit* address() const { return m_address; }
    QFrame* previewBorder() const { return m_previewBorder; }
    QLabel* preview() const { return m_preview; }
    SwitchPreview* switchPreview() const { return m_switchPreview; }

    // Checks the address box for the type in force: padded, or refused with its message. The
    // accepted text becomes CurrentAddress. False when it was refused.
    bool acceptAddress();
    // The address box takes the type's width and its first address.
    void resetAddressFor(qint16 typeCode);
    // The file's name, shown from its beginning, and its size.
    void showFile(const PictureFileRecord& record);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AppState& m_state;
    Prompter& m_prompter;
    QComboBox* m_files = nullptr;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_fileSize = nullptr;
    QLineEdit* m_switchType = nullptr;
    QLineEdit* m_address = nullptr;
    QFrame* m_previewBorder = nullptr;
    QLabel* m_preview = nullptr;
    SwitchPreview* m_switchPreview = nullptr;
};
