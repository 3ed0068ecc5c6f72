#include "ui/last_file_erase_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

LastFileEraseDialog::LastFileEraseDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("Last file erase"));
    setModal(true);
    questionLabel = makeLabel(QStringLiteral("Label1"), QStringLiteral("May I erase the last file?"), this);
    fileNumberCaptionLabel = makeLabel(QStringLiteral("Label2"), QStringLiteral("File No."), this);
    fileNumberLabel = makeLabel(QStringLiteral("Label3"), QStringLiteral("001"), this);
    // Which recorders lose the file, as the other confirmations say.
    recordersLabel = makeLabel(QStringLiteral("LabelRecorders"), QString(), this);
    okButton = makeButton(QStringLiteral("BitBtn1"), QStringLiteral("OK"), this);
    cancelButton = makeButton(QStringLiteral("BitBtn2"), QStringLiteral("Cancel"), this);
    // A slip of the Enter key must not erase a recording.
    cancelButton->setDefault(true);

    auto* number = new QHBoxLayout;
    number->addWidget(fileNumberCaptionLabel);
    number->addWidget(fileNumberLabel);
    number->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(questionLabel);
    layout->addLayout(number);
    layout->addWidget(recordersLabel);
    layout->addLayout(buttons);

    onSignal(okButton, &QPushButton::clicked, this, &LastFileEraseDialog::confirmErase);
    onSignal(cancelButton, &QPushButton::clicked, this, &LastFileEraseDialog::cancel);
}

bool LastFileEraseDialog::confirm(int recordedFileCount, const QString& where) {
    fileNumberLabel->setText(QString::asprintf("%03d  ", recordedFileCount));
    recordersLabel->setText(where);
    return exec() == QDialog::Accepted;
}

void LastFileEraseDialog::confirmErase() { accept(); }

void LastFileEraseDialog::cancel() { reject(); }

void LastFileEraseDialog::reject() { QDialog::reject(); }

}  // namespace qz7
