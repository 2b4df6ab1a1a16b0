#include "BatchFileModel.h"

#include <QBrush>

QBrush RowColourBrush(RowColour colour)
{
    static const QBrush Brushes[] = {
        QBrush(QColor(0x00, 0x00, 0x00)), QBrush(QColor(0x00, 0x00, 0xFF)),
        QBrush(QColor(0xFF, 0x00, 0xFF)), QBrush(QColor(0xFF, 0xFF, 0x00)),
        QBrush(QColor(0x00, 0xFF, 0x00)), QBrush(QColor(0x00, 0xFF, 0xFF)),
        QBrush(QColor(0xFF, 0x00, 0x00)),
    };
    return Brushes[int(colour)];
}

BatchFileModel::BatchFileModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int BatchFileModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int BatchFileModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BatchFileModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const Row& row = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == FileColumn ? row.file : row.address;
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

bool BatchFileModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || index.column() != FileColumn ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        (m_checkGate && !m_checkGate()))
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    Q_EMIT rowCheckedByOperator(index.row());
    return true;
}

Qt::ItemFlags BatchFileModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == FileColumn)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant BatchFileModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == FileColumn ? QStringLiteral("File") : QStringLiteral("Address");
}

void BatchFileModel::setRows(QList<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void BatchFileModel::setChecked(int row, bool checked)
{
    if (m_rows.at(row).checked == checked)
        return;
    m_rows[row].checked = checked;
    rowsChanged(row, row, Qt::CheckStateRole);
}

void BatchFileModel::checkAll(CheckAction action)
{
    for (Row& row : m_rows)
        row.checked = action == CheckAction::All || (action == CheckAction::Invert && !row.checked);
    rowsChanged(0, int(m_rows.size()) - 1, Qt::CheckStateRole);
}

void BatchFileModel::setRowColour(int row, RowColour colour)
{
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).colour == colour)
        return;
    m_rows[row].colour = colour;
    rowsChanged(row, row, Qt::ForegroundRole);
}

void BatchFileModel::setAllColours(RowColour colour)
{
    for (Row& row : m_rows)
        row.colour = colour;
    rowsChanged(0, int(m_rows.size()) - 1, Qt::ForegroundRole);
}

void BatchFileModel::rowsChanged(int first, int last, int role)
{
    if (first > last)
        return;
    const int lastColumn = role == Qt::CheckStateRole ? FileColumn : AddressColumn;
    Q_EMIT dataChanged(index(first, FileColumn), index(last, lastColumn), {role});
}
