#include "frmSelectRow.h"

#include "AttributeEditorDialog.h"
#include "Conversions.h"
#include "FieldChecks.h"
#include "HexField.h"
#include "Prompter.h"
#include "SavedAttributes.h"
#include "SwitchTypeCode.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QTreeView>

namespace {
// Every attribute column's checks start here: "File" and "Address" are never edited.
constexpr int FirstAttributeColumn = 2;
// The lowest LED code an LCD 64x32 switch takes: its two low bits are always set.
constexpr int LowestLcd64x32Led = 3;
} // namespace

frmSelectRow::frmSelectRow(qint16 typeCode, Prompter& prompter, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_typeCode(typeCode)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmSelectRow"));
}

void frmSelectRow::build(const QList<Cell>& cells, int rowHeight, const QFont& font)
{
    const QList<AttributeColumn>& columns = AttributeColumns(m_typeCode);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_boxes.resize(cells.size());
    QWidget* previous = nullptr;
    for (const Cell& cell : cells) {
        auto* box = new QLineEdit(cell.text, this);
        box->setObjectName(ControlArrayName("txtEd", cell.column));
        box->setFont(font);
        box->setFixedSize(cell.width, rowHeight);
        box->setToolTip(QStringLiteral("Original: ") + cell.text);
        box->setFrame(cell.editable);
        box->setEnabled(cell.editable && cell.width > 0);
        // A column the table hides has no box to see or to reach with Tab; its value stays.
        box->setVisible(cell.width > 0);
        if (cell.column >= FirstAttributeColumn) {
            const int digits = columns.value(cell.column - FirstAttributeColumn).digits;
            box->setMaxLength(digits);
        }
        box->installEventFilter(this);
        layout->addWidget(box);
        m_boxes[cell.column] = box;
        if (box->isEnabled()) {
            if (previous)
                setTabOrder(previous, box);
            previous = box;
        }
    }
    auto* save =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton), QString(), this);
    save->setObjectName(ControlArrayName("cmdJ", 0));
    save->setToolTip(QStringLiteral("Close and Save"));
    auto* drop =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QString(), this);
    drop->setObjectName(ControlArrayName("cmdJ", 1));
    drop->setToolTip(QStringLiteral("Close, Don't Save"));
    for (QPushButton* button : {save, drop}) {
        // The focus stays in the box, so Save can check what was typed there.
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(qMax(rowHeight, 18), rowHeight);
        layout->addWidget(button);
    }
    connect(save, &QPushButton::clicked, this, &frmSelectRow::closeAndSave);
    connect(drop, &QPushButton::clicked, this, &QDialog::reject);
    for (QLineEdit* box : std::as_const(m_boxes)) {
        if (box && box->isEnabled()) {
            box->setFocus();
            break;
        }
    }
    adjustSize();
}

QLineEdit* frmSelectRow::boxFor(int column) const
{
    return m_boxes.value(column);
}

int frmSelectRow::columnOf(QObject* box) const
{
    return int(m_boxes.indexOf(static_cast<QLineEdit*>(box)));
}

bool frmSelectRow::ValidateCell(int column)
{
    QLineEdit* box = boxFor(column);
    if (column < FirstAttributeColumn || !box)
        return false;
    m_validating = true;
    const int attributeCells = AttributeCellCount(m_typeCode);
    const bool led = IsLcdType(m_typeCode) && column >= FirstAttributeColumn + attributeCells;
    const int digits = AttributeColumns(m_typeCode).value(column - FirstAttributeColumn).digits;
    const bool refuse = led ? refuseLed(box) : !AcceptHexEntry(box, digits, m_prompter);
    m_validating = false;
    box->setFocus();
    return refuse;
}

// LCD LED codes: one digit 0..F on LCD 36x24, a byte from 03 on LCD 64x32.
bool frmSelectRow::refuseLed(QLineEdit* box)
{
    auto refuseWith = [&](const QString& message) {
        m_prompter.message(message, InputDataTitle, MessageIcon::Information);
        box->setFocus();
        box->selectAll();
        return true;
    };
    if (m_typeCode == SwitchTypeCode::Lcd36x24) {
        if (box->text() == QLatin1String("0"))
            return false;
        const qint32 value = HexToLong(box->text(), false);
        if (value == 0)
            return refuseWith(QStringLiteral("Data must be in Hex format."));
        if (value <= 9)
            return false;
        return !AcceptHexEntry(box, 1, m_prompter);
    }
    box->setText(PadAddress(box->text(), 2));
    if (HexToLong(box->text(), false) < LowestLcd64x32Led)
        return refuseWith(QStringLiteral("Data must between 03 and FF Hex."));
    return !AcceptHexEntry(box, 2, m_prompter);
}

bool frmSelectRow::eventFilter(QObject* watched, QEvent* event)
{
    const int column = columnOf(watched);
    if (column < 0)
        return QDialog::eventFilter(watched, event);
    auto* box = static_cast<QLineEdit*>(watched);
    switch (event->type()) {
    case QEvent::FocusIn:
        // Deferred, so that the click which gave the focus cannot place the caret afterwards.
        QTimer::singleShot(0, box, &QLineEdit::selectAll);
        break;
    case QEvent::FocusOut:
        boxLeft(column, static_cast<QFocusEvent*>(event)->reason());
        break;
    case QEvent::KeyPress:
        return handleKey(column, static_cast<QKeyEvent*>(event));
    default:
        break;
    }
    return false;
}

bool frmSelectRow::handleKey(int column, QKeyEvent* event)
{
    m_editAdvance = false;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!ValidateCell(column)) {
            m_editAdvance = true;
            accept();
        }
        return true;
    case Qt::Key_Escape:
        reject();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return ValidateCell(column); // a refused entry keeps the focus
    default:
        return false;
    }
}

// Tab and Enter check the box themselves; a click into another box checks it here, once the
// focus change is over. A message box taking the focus is not the operator leaving the box.
void frmSelectRow::boxLeft(int column, Qt::FocusReason reason)
{
    if (m_validating || reason != Qt::MouseFocusReason)
        return;
    QLineEdit* box = boxFor(column);
    QTimer::singleShot(0, box, [this, column] {
        if (!m_validating && isVisible())
            ValidateCell(column);
    });
}

void frmSelectRow::closeAndSave()
{
    const int column = columnOf(focusWidget());
    if (column >= FirstAttributeColumn && ValidateCell(column))
        return;
    accept();
}

void frmSelectRow::mousePressEvent(QMouseEvent* event)
{
    reject();
    event->accept();
}

void frmSelectRow::done(int result)
{
    m_editedValues.clear();
    for (QLineEdit* box : std::as_const(m_boxes))
        m_editedValues << (box ? box->text() : QString());
    m_editCancelled = result == QDialog::Rejected;
    QDialog::done(result);
}

clsLVInterface::clsLVInterface(qint16 typeCode, Prompter& prompter)
    : m_typeCode(typeCode)
    , m_prompter(prompter)
{
}

RowEdit clsLVInterface::SpawnVTip(QTreeView* table, int row, int columnCount, int xOffset,
                                  int yOffset)
{
    const QAbstractItemModel* model = table->model();
    const QHeaderView* header = table->header();
    const QRect rowRect = table->visualRect(model->index(row - 1, 0));
    QList<frmSelectRow::Cell> cells;
    for (int position = 0; position < columnCount; ++position) {
        const int column = header->logicalIndex(position);
        const int width = header->isSectionHidden(column) ? 0 : header->sectionSize(column);
        cells.append({column, model->index(row - 1, column).data().toString(), width,
                      column >= FirstAttributeColumn});
    }
    frmSelectRow editor(m_typeCode, m_prompter, table->window());
    editor.build(cells, rowRect.height(), table->font());
    const QPoint origin = table->viewport()->mapToGlobal(QPoint(0, 0));
    const int left = header->sectionViewportPosition(header->logicalIndex(0));
    editor.move(origin + QPoint(xOffset + left, yOffset + rowRect.top()));
    editor.exec();
    return {editor.editedValues(), editor.editCancelled(), editor.editAdvance()};
}
