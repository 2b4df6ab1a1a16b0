#include "TrafficLogPanel.h"

#include "AppState.h"
#include "ControllerLink.h"
#include "Named.h"
#include "TrafficLogView.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

TrafficLogPanel::TrafficLogPanel(ControllerLink& link, Entry entry, QWidget* parent)
    : QWidget(parent)
    , m_link(link)
{
    m_displayData =
        Named<QCheckBox>("chkDispayData", QStringLiteral("Transmit in blue. Receive in black:"));
    auto* clean = Named<QPushButton>("cmdClean", QStringLiteral("Clear"));
    m_log = new TrafficLogView;
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    if (entry == Entry::ManualCommand)
        grid->addWidget(buildCommandEntry(), 0, 0, 1, 2);
    grid->addWidget(m_displayData, 1, 0);
    grid->addWidget(clean, 1, 1, Qt::AlignRight);
    grid->addWidget(m_log, 2, 0, 1, 2);
    grid->setRowStretch(2, 1);
    connect(clean, &QPushButton::clicked, this, [this] {
        m_log->clear();
        if (m_command) {
            m_command->clear();
            m_command->setFocus();
        }
        Q_EMIT cleared();
    });
}

QWidget* TrafficLogPanel::buildCommandEntry()
{
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_command = Named<QPlainTextEdit>("txtManualCommand");
    m_command->setPlaceholderText(tr("Hex bytes such as 26 52 58, or plain text"));
    m_command->setFixedHeight(m_command->fontMetrics().lineSpacing() * 2 + 12);
    m_command->installEventFilter(this);
    auto* send = Named<QPushButton>("cmdSendManualCommand", QStringLiteral("Send Manual Command"));
    row->addWidget(m_command, 1);
    row->addWidget(send, 0, Qt::AlignTop);
    connect(send, &QPushButton::clicked, this, [this] {
        sendManualCommand();
        m_command->setFocus();
    });
    return box;
}

void TrafficLogPanel::sendManualCommand()
{
    if (m_link.state().BusyFlag)
        return;
    m_link.SendHexCommand(m_command->toPlainText());
}

bool TrafficLogPanel::handleCommandKey(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        sendManualCommand();
        ++m_enterCount;
        if (m_enterCount < 2)
            m_command->appendPlainText(QString());
        m_command->moveCursor(QTextCursor::End);
        return true;
    }
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        m_enterCount = 0;
    return false;
}

bool TrafficLogPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_command && event->type() == QEvent::KeyPress)
        return handleCommandKey(static_cast<QKeyEvent*>(event)->key());
    return QWidget::eventFilter(watched, event);
}
