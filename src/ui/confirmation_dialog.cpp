#include "ui/confirmation_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

ConfirmationDialog::ConfirmationDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("Confirmation"));
    setModal(true);
    questionLabel = makeLabel(QStringLiteral("Label1"), QStringLiteral("Are you sure?"), this);
    whatLabel = makeLabel(QStringLiteral("Label2"), QString(), this);
    whatLabel->setAlignment(Qt::AlignCenter);
    okButton = makeButton(QStringLiteral("Button1"), QStringLiteral("OK"), this);
    cancelButton = makeButton(QStringLiteral("Button2"), QStringLiteral("Cancel"), this);
    // Everything behind this dialog is destructive: a stray Return must cancel.
    okButton->setAutoDefault(false);
    cancelButton->setAutoDefault(true);
    cancelButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(questionLabel, 0, Qt::AlignCenter);
    layout->addWidget(whatLabel);
    layout->addLayout(buttons);
    onSignal(okButton, &QPushButton::clicked, this, &ConfirmationDialog::confirm);
    onSignal(cancelButton, &QPushButton::clicked, this, &ConfirmationDialog::cancel);
}

bool ConfirmationDialog::ask(const QString& what) {
    whatLabel->setText(what);
    adjustSize();
    cancelButton->setFocus();
    return exec() == QDialog::Accepted;
}

void ConfirmationDialog::confirm() { accept(); }

void ConfirmationDialog::cancel() { reject(); }

QString onHosts(const QStringList& hosts) {
    return QStringLiteral("on ") + hosts.join(QStringLiteral(" and "));
}

}  // namespace qz7
