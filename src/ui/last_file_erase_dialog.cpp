#include "ui/last_file_erase_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("Last file erase"));
    setModal(true);
    Label1 = makeLabel(QStringLiteral("Label1"), QStringLiteral("May I erase the last file?"), this);
    Label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("File No."), this);
    Label3 = makeLabel(QStringLiteral("Label3"), QStringLiteral("001"), this);
    // Which recorders lose the file, as the other confirmations say.
    LabelRecorders = makeLabel(QStringLiteral("LabelRecorders"), QString(), this);
    BitBtn1 = makeButton(QStringLiteral("BitBtn1"), QStringLiteral("OK"), this);
    BitBtn2 = makeButton(QStringLiteral("BitBtn2"), QStringLiteral("Cancel"), this);
    // A slip of the Enter key must not erase a recording.
    BitBtn2->setDefault(true);

    auto* number = new QHBoxLayout;
    number->addWidget(Label2);
    number->addWidget(Label3);
    number->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(number);
    layout->addWidget(LabelRecorders);
    layout->addLayout(buttons);

    onSignal(BitBtn1, &QPushButton::clicked, this, &TForm4::BitBtn1Click);
    onSignal(BitBtn2, &QPushButton::clicked, this, &TForm4::BitBtn2Click);
}

bool TForm4::confirm(int recordedFileCount, const QString& where) {
    Label3->setText(QString::asprintf("%03d  ", recordedFileCount));
    LabelRecorders->setText(where);
    return exec() == QDialog::Accepted;
}

void TForm4::BitBtn1Click() { accept(); }

void TForm4::BitBtn2Click() { reject(); }

void TForm4::reject() { QDialog::reject(); }

}  // namespace qz7
