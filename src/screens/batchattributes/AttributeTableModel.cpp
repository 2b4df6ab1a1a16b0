#include "AttributeTableModel.h"

AttributeTableModel::AttributeTableModel(QObject* parent)
    : QAbstractTableModel(parent)
    , m_headers{QStringLiteral("File"), QStringLiteral("Address")}
{
}

int AttributeTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int AttributeTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant AttributeTableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const Row& row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == FileColumn)
            return row.file;
        if (index.column() == AddressColumn)
            return row.address;
        return row.cells.value(index.column() - FirstAttributeColumn);
    case Qt::CheckStateRole:
        if (index.column() == FileColumn)
            return row.checked ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    case Qt::ForegroundRole:
        return RowColourBrush(row.colour);
    default:
        return QVariant();
    }
}

// The ticks are the operator's own marks: they change no download.
bool AttributeTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != FileColumn ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    m_rows[index.row()].checked = value.toInt() == Qt::Checked;
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags AttributeTableModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == FileColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant AttributeTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_headers.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return m_headers.at(section);
}

void AttributeTableModel::setAttributeHeaders(const QStringList& headers)
{
    const QStringList all =
        QStringList{m_headers.at(FileColumn), m_headers.at(AddressColumn)} + headers;
    if (all.size() != m_headers.size()) {
        beginResetModel();
        m_headers = all;
        endResetModel();
        return;
    }
    m_headers = all;
    Q_EMIT headerDataChanged(Qt::Horizontal, FirstAttributeColumn, int(all.size()) - 1);
}

void AttributeTableModel::setRows(QList<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

QStringList AttributeTableModel::rowTexts(int row) const
{
    const Row& r = m_rows.at(row);
    return QStringList{r.file, r.address} + r.cells;
}

void AttributeTableModel::setCells(int row, const QStringList& cells)
{
    m_rows[row].cells = cells;
    Q_EMIT dataChanged(index(row, FirstAttributeColumn), index(row, columnCount() - 1),
                       {Qt::DisplayRole});
}

void AttributeTableModel::setRowColour(int row, RowColour colour)
{
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).colour == colour)
        return;
    m_rows[row].colour = colour;
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::ForegroundRole});
}

void AttributeTableModel::setAllColours(RowColour colour)
{
    for (Row& row : m_rows)
        row.colour = colour;
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, 0), index(int(m_rows.size()) - 1, columnCount() - 1),
                           {Qt::ForegroundRole});
}
