#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class Prompter;
class QLineEdit;
class QTreeView;

// The in-place row editor: a borderless window lying over one row of the attribute table, one box
// per column with the column's width, then "Close and Save" and "Close, Don't Save". Tab moves
// between the attribute boxes, each checked before the focus may leave it; Enter keeps the values
// and asks for the next row, Esc drops them. A click on the window outside the boxes drops them
// too, as Esc does.
class frmSelectRow : public QDialog
{
    Q_OBJECT
public:
    struct Cell
    {
        int column = 0;
        QString text;
        int width = 0; // pixels; 0 for a column the table hides
        bool editable = false;
    };

    frmSelectRow(qint16 typeCode, Prompter& prompter, QWidget* parent = nullptr);

    // One box per cell in display order, each `rowHeight` tall.
    void build(const QList<Cell>& cells, int rowHeight, const QFont& font);

    // Normalises and checks the box of `column`; true means refuse (the focus stays in it).
    bool ValidateCell(int column);

    // The text of every column when the editor closed, by column index.
    QStringList editedValues() const { return m_editedValues; }
    bool editCancelled() const { return m_editCancelled; }
    bool editAdvance() const { return m_editAdvance; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void done(int result) override;

private:
    QLineEdit* boxFor(int column) const;
    int columnOf(QObject* box) const;
    bool handleKey(int column, QKeyEvent* event);
    void boxLeft(int column, Qt::FocusReason reason);
    bool refuseLed(QLineEdit* box);
    void closeAndSave();

    qint16 m_typeCode;
    Prompter& m_prompter;
    QList<QLineEdit*> m_boxes; // by column index
    QStringList m_editedValues;
    bool m_editCancelled = true;
    bool m_editAdvance = false;
    bool m_validating = false;
};

// What one editing of a row gave back.
struct RowEdit
{
    QStringList values; // by column index
    bool cancelled = true;
    bool advance = false; // left with Enter: the table edits the next row
};

// Measures a row of the table, lays the editor over it and shows it modally.
class clsLVInterface
{
public:
    clsLVInterface(qint16 typeCode, Prompter& prompter);

    // Edits row `row` (1-based) of `table` over its first `columnCount` columns; the offsets move
    // the editor right and down (pixels).
    RowEdit SpawnVTip(QTreeView* table, int row, int columnCount, int xOffset, int yOffset);

private:
    qint16 m_typeCode;
    Prompter& m_prompter;
};
