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
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("OK"), this);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1, 0, Qt::AlignCenter);
    layout->addLayout(buttons);
    onSignal(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
    onSignal(Button2, &QPushButton::clicked, this, &TForm5::Button2Click);
}

bool TForm5::ask() { return exec() == QDialog::Accepted; }

void TForm5::Button1Click() { accept(); }

void TForm5::Button2Click() { reject(); }

}  // namespace qz7
