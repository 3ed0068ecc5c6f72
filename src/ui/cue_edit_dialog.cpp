#include "ui/cue_edit_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>
#include <utility>

#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

Timecode typedPosition(const QString& text) {
    const std::optional<Timecode> position = Timecode::parse(toBytes(text));
    if (!position)
        throw std::invalid_argument(
            QStringLiteral("Type the position in full, two digits each (hh:mm:ss:ff): '%1'").arg(text).toStdString());
    return *position;
}

CueEditDialog::CueEditDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm6"));
    setWindowTitle(QStringLiteral("CUE Edit"));
    setModal(true);
    positionCaptionLabel = makeLabel(QStringLiteral("Label1"), QStringLiteral("Position"), this);
    positionEdit = makeMaskedEdit(QStringLiteral("MaskEdit1"), QStringLiteral("00:00:00:00;_"),
                               QStringLiteral("00:00:00:00"), this);
    nameCaptionLabel = makeLabel(QStringLiteral("Label2"), QStringLiteral("Name"), this);
    nameEdit = makeNameEdit(QStringLiteral("Edit1"), this);
    nameEdit->setMinimumWidth(260);
    okButton = makeButton(QStringLiteral("Button1"), QStringLiteral("OK"), this);
    cancelButton = makeButton(QStringLiteral("Button2"), QStringLiteral("Cancel"), this);
    okButton->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(positionCaptionLabel, 0, 0);
    grid->addWidget(positionEdit, 0, 1);
    grid->addWidget(nameCaptionLabel, 1, 0);
    grid->addWidget(nameEdit, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    grid->addLayout(buttons, 2, 0, 1, 2);

    onSignal(okButton, &QPushButton::clicked, this, &CueEditDialog::acceptEdit);
    onSignal(cancelButton, &QPushButton::clicked, this, &CueEditDialog::cancel);
}

// A position with blanks keeps the dialog open with the error box; the
// entry is written only once the whole input is good.
void CueEditDialog::acceptEdit() {
    result_ = CueEdit{typedPosition(maskedText(positionEdit)), toBytes(nameEdit->text())};
    accept();
}

void CueEditDialog::cancel() { reject(); }

std::optional<CueEdit> CueEditDialog::edit(const CueEntry& cue) {
    positionEdit->setText(fromBytes(cue.position.text()));
    nameEdit->setText(fromBytes(cue.name));
    result_.reset();
    exec();
    return std::exchange(result_, std::nullopt);
}

void CueEditDialog::reject() {
    result_.reset();
    QDialog::reject();
}

}  // namespace qz7
