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

TForm6::TForm6(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm6"));
    setWindowTitle(QStringLiteral("CUE Edit"));
    setModal(true);
    Label1 = makeLabel(QStringLiteral("Label1"), QStringLiteral("Position"), this);
    MaskEdit1 = makeMaskedEdit(QStringLiteral("MaskEdit1"), QStringLiteral("00:00:00:00;_"),
                               QStringLiteral("00:00:00:00"), this);
    Label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("Name"), this);
    Edit1 = makeNameEdit(QStringLiteral("Edit1"), this);
    Edit1->setMinimumWidth(260);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("OK"), this);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Cancel"), this);
    Button1->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(MaskEdit1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Edit1, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    grid->addLayout(buttons, 2, 0, 1, 2);

    onSignal(Button1, &QPushButton::clicked, this, &TForm6::Button1Click);
    onSignal(Button2, &QPushButton::clicked, this, &TForm6::Button2Click);
}

// A position with blanks keeps the dialog open with the error box; the
// entry is written only once the whole input is good.
void TForm6::Button1Click() {
    result_ = CueEdit{typedPosition(maskedText(MaskEdit1)), toBytes(Edit1->text())};
    accept();
}

void TForm6::Button2Click() { reject(); }

std::optional<CueEdit> TForm6::edit(const CueEntry& cue) {
    MaskEdit1->setText(fromBytes(cue.position.text()));
    Edit1->setText(fromBytes(cue.name));
    result_.reset();
    exec();
    return std::exchange(result_, std::nullopt);
}

void TForm6::reject() {
    result_.reset();
    QDialog::reject();
}

}  // namespace qz7
