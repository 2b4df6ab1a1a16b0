#pragma once

#include "RowColour.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QList>

#include <functional>

// The brush a row's text is drawn with.
QBrush RowColourBrush(RowColour colour);

// The rows of the batch file list "Files and Addresses": file name with its tick, and the
// address the file goes to. The rows are the list's own copy: ticks the operator changes reach
// the batch when the list is refreshed.
class BatchFileModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { FileColumn, AddressColumn, ColumnCount };
    enum class CheckAction { All, None, Invert };

    struct Row
    {
        QString file;
        QString address;
        bool checked = true;
        RowColour colour = RowColour::Black;
    };

    explicit BatchFileModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Replaces every row at once.
    void setRows(QList<Row> rows);
    void clear() { setRows({}); }
    bool isChecked(int row) const { return m_rows.at(row).checked; }
    void setChecked(int row, bool checked);
    void checkAll(CheckAction action);
    void setRowColour(int row, RowColour colour);
    void setAllColours(RowColour colour);
    RowColour rowColour(int row) const { return m_rows.at(row).colour; }
    // While the gate says no, the operator's ticks are refused (a run or an import is going on).
    void setCheckGate(std::function<bool()> gate) { m_checkGate = std::move(gate); }

Q_SIGNALS:
    // The operator ticked or unticked a row in the list.
    void rowCheckedByOperator(int row);

private:
    void rowsChanged(int first, int last, int role);

    QList<Row> m_rows;
    std::function<bool()> m_checkGate;
};

// Appends the list row of one batch file: its name, the address it goes to, and its tick.
inline void AddFileListItem(QList<BatchFileModel::Row>& rows, const QString& addressText,
                            const QString& fileName, bool checked)
{
    rows.append({fileName, addressText, checked, RowColour::Black});
}
