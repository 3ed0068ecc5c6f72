#include "ui/file_name_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("File Name Edit"));
    setModal(true);
    Label1 = makeLabel(QStringLiteral("Label1"), QStringLiteral("File No."), this);
    Label2 = makeLabel(QStringLiteral("Label2"), QStringLiteral("001"), this);
    Edit1 = makeNameEdit(QStringLiteral("Edit1"), this);
    Edit1->setMinimumWidth(260);
    CheckBox1 = new QCheckBox(QStringLiteral("File Inhibit"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("OK"), this);
    Button1 = makeButton(QStringLiteral("Button1"), QStringLiteral("Cancel"), this);
    Button2->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Label2, 0, 1);
    grid->addWidget(Edit1, 1, 0, 1, 2);
    grid->addWidget(CheckBox1, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    grid->addLayout(buttons, 3, 0, 1, 2);

    onSignal(Button2, &QPushButton::clicked, this, &TForm3::Button2Click);
    onSignal(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);
}

std::optional<FileEdit> TForm3::edit(int fileNumber, const std::string& name, std::uint8_t inhibit) {
    Label2->setText(QString::asprintf("%03d  ", fileNumber));
    Edit1->setText(fromBytes(name));
    CheckBox1->setChecked(inhibit != 0);
    result_.reset();
    exec();
    return std::exchange(result_, std::nullopt);
}

void TForm3::Button2Click() {
    result_ = FileEdit{toBytes(Edit1->text()), static_cast<std::uint8_t>(CheckBox1->isChecked() ? 1 : 0)};
    accept();
}

void TForm3::Button1Click() { reject(); }

void TForm3::reject() {
    result_.reset();
    QDialog::reject();
}

}  // namespace qz7
