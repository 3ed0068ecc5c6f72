#include "ui/confirmation_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("Confirmation"));
    setModal(true);
    Label1 = makeLabel(QStringLiteral("Label1"), QStringLiteral("Are you sure?"), this);
    Label2 = makeLabel(QStringLiteral("Label2"), QString(), this);
    Label2->setAlignment(Qt::AlignCenter);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("OK"), this);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Cancel"), this);
    // Everything behind this dialog is destructive: a stray Return must cancel.
    Button1->setAutoDefault(false);
    Button2->setAutoDefault(true);
    Button2->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1, 0, Qt::AlignCenter);
    layout->addWidget(Label2);
    layout->addLayout(buttons);
    onSignal(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    onSignal(Button2, &QPushButton::clicked, this, &TForm5::Button2Click);
}

bool TForm5::ask(const QString& what) {
    Label2->setText(what);
    adjustSize();
    Button2->setFocus();
    return exec() == QDialog::Accepted;
}

void TForm5::Button1Click() { accept(); }

void TForm5::Button2Click() { reject(); }

QString onHosts(const QStringList& hosts) {
    return QStringLiteral("on ") + hosts.join(QStringLiteral(" and "));
}

}  // namespace qz7
