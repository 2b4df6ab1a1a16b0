#pragma once

#include <QDialog>

#include <functional>

class UiSeam;

// Where the system-information program is, or empty when this system has none.
QString LocateSystemInformation();

// "About Vantrel": the program's title, version and texts, and a way to the system's own
// system-information program.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    using Locator = std::function<QString()>;

    frmAbout(UiSeam& seam, QWidget* parent = nullptr, Locator locator = LocateSystemInformation);

    void StartSysInfo();

private:
    UiSeam& m_seam;
    Locator m_locate;
};
