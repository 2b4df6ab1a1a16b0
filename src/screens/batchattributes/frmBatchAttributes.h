#pragma once

#include "AttributeRun.h"
#include "AttributeTableModel.h"
#include "ControllerScreen.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTreeView;

// "Batch Attributes Download": an attribute record for every picture of the batch the batch
// picture screen imported, edited in place, kept in the type's saved attribute file in the batch
// folder, and downloaded row by row. Opened over the batch picture screen, which waits for it.
class frmBatchAttributes : public ControllerScreen, private AttributeRunView
{
    Q_OBJECT
public:
    // `portStatus`: the port status text the batch picture screen showed when it opened this.
    frmBatchAttributes(ScreenContext& context, const QString& portStatus,
                       QWidget* parent = nullptr);
    ~frmBatchAttributes() override;

    // Shows the window over its opener and makes it the screen the link writes into.
    void open();

Q_SIGNALS:
    // The window has closed (and goes): its opener takes the link back.
    void closed();

protected:
    bool event(QEvent* event) override;
    bool mayUnload() const override;
    void screenActivated() override;

private:
    // Layout and loading (frmBatchAttributes.cpp)
    QWidget* buildTypeRow();
    QWidget* buildTable();
    QWidget* buildButtons();
    QWidget* buildSide();
    void load();
    void applySwitchCount(int switches);
    void fitTableWidth();
    void fitToDesktop();
    void onRowClicked(const QModelIndex& index);
    void showRowPicture(int row);
    QString savedFilePath() const;

    // Editing, saving and closing (AttributeEditing.cpp)
    void EditCurrentRow();
    bool editRow(int row);
    void selectRow(int row);
    bool save();
    bool mayClose();

    // Downloads (AttributeDownload.cpp)
    void downloadSelected();
    void downloadBatch();
    bool mayStartDownload();
    void beginDownload();
    void endDownload(bool beep);
    AttributeJob carryRow(int row);
    void showRowState(int row, AttributeRowState state) override;
    void revealRow(int row) override;

    AttributeTableModel* m_table = nullptr;
    AttributeRun m_run;
    QString m_handedOverPortStatus;
    qint16 m_typeCode;
    int m_switches = 2;
    int m_currentRow = 0; // the single-row download sends it: last clicked, 1 after loading
    bool m_attributesChanged = false;
    bool m_running = false; // a download is on the stack

    QScrollArea* m_scroll = nullptr;
    QLineEdit* txtSwitchType = nullptr;
    QLabel* lblNumSwitches = nullptr;
    QComboBox* cmbNumbofSwchs = nullptr;
    QLabel* lblLEDinfo = nullptr;
    QTreeView* LsvManyFiles = nullptr;
    QFrame* picHolderBorder = nullptr;
    QLabel* picHolder = nullptr;
    QPushButton* cmdEdit = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdDownloadAttribute = nullptr;
    QPushButton* cmdDownloadAttributes = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdClose = nullptr;
};
