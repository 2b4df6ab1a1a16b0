#include "frmCharacter.h"

#include "Named.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmCharacter::frmCharacter(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCharacter"));
    setWindowTitle(QStringLiteral("Charactor or Hex"));
    auto* cmbCharacter = Named<QPushButton>("cmbCharacter", QStringLiteral("Character"));
    auto* cmbHex = Named<QPushButton>("cmbHex", QStringLiteral("Hex"));
    auto* cmbCancel = Named<QPushButton>("cmbCancel", QStringLiteral("Cancel"));
    cmbCharacter->setDefault(true);
    connect(cmbCharacter, &QPushButton::clicked, this, [this] { choose(true); });
    connect(cmbHex, &QPushButton::clicked, this, [this] { choose(false); });
    connect(cmbCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmbCharacter);
    buttons->addWidget(cmbHex);
    buttons->addWidget(cmbCancel);
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(16);
    layout->addWidget(
        Named<QLabel>("Label1", QStringLiteral("Send data as ASCII Characters or Hex?")));
    layout->addLayout(buttons);
    // Room for the caption in the title bar as well.
    setMinimumWidth(320);
}

void frmCharacter::choose(bool asCharacters)
{
    m_sendAsCharacters = asCharacters;
    accept();
}

void frmCharacter::done(int result)
{
    // Cancel, Escape and the title-bar button all leave without a choice.
    m_cancel = result != QDialog::Accepted;
    QDialog::done(result);
}
