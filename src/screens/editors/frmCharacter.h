#pragma once

#include <QDialog>

// "Charactor or Hex": asked before a raw data file is streamed. "Character" sends each pair of hex
// digits in the file as the byte it names, "Hex" sends the text as written.
//
// Caller protocol: exec(), stop when Cancel() is true, otherwise read SendAsCharacters(). The
// choice is kept between uses: only the two choice buttons change it.
class frmCharacter final : public QDialog
{
    Q_OBJECT
public:
    explicit frmCharacter(QWidget* parent = nullptr);

    bool SendAsCharacters() const { return m_sendAsCharacters; }
    // True when the window was left without a choice.
    bool Cancel() const { return m_cancel; }

protected:
    void done(int result) override;

private:
    void choose(bool asCharacters);

    bool m_sendAsCharacters = false;
    bool m_cancel = false;
};
