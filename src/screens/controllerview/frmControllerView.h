#pragma once

#include <QWidget>

struct ScreenContext;
class AddressDelegate;
class ControllerViewModel;
class QLabel;
class QListView;
class QModelIndex;
class QPushButton;

// The controller's addresses as a grid of what each display shows, filling in while pictures are
// sent. A double-click uploads the address and says whether the controller still holds what was
// sent; "Save Contact Sheet" files the whole grid as one PNG.
class frmControllerView : public QWidget
{
    Q_OBJECT
public:
    explicit frmControllerView(ScreenContext& context, QWidget* parent = nullptr);

private:
    void showCount();
    void uploadAddress(const QModelIndex& index);
    void saveContactSheet();

    ScreenContext& m_context;
    ControllerViewModel& m_model;
    AddressDelegate* m_delegate = nullptr;
    QListView* lstAddresses = nullptr;
    QLabel* lblAddressCount = nullptr;
    QPushButton* cmdSaveContactSheet = nullptr;
};

// The grid alone, for a program that shows a controller's memory without the rest of the window.
QListView* MakeAddressGrid(ControllerViewModel& model, QWidget* parent);
