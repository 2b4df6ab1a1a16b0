#pragma once

#include "BatchFileModel.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The rows of the attribute table "LsvManyFiles": the picture with its tick, the address, and one
// cell per attribute column of the switch type. The cells are the table's own text; the records
// take them when the table is saved, edited or downloaded.
class AttributeTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { FileColumn, AddressColumn, FirstAttributeColumn };

    struct Row
    {
        QString file;
        QString address;
        bool checked = true;
        QStringList cells;
        RowColour colour = RowColour::Black;
    };

    explicit AttributeTableModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The attribute column headers; "File" and "Address" lead.
    void setAttributeHeaders(const QStringList& headers);
    // Replaces every row at once.
    void setRows(QList<Row> rows);
    const Row& row(int row) const { return m_rows.at(row); }
    // Every column's text of a row, "File" and "Address" first.
    QStringList rowTexts(int row) const;
    void setCells(int row, const QStringList& cells);
    void setRowColour(int row, RowColour colour);
    void setAllColours(RowColour colour);

private:
    QStringList m_headers;
    QList<Row> m_rows;
};
