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

FileNameDialog::FileNameDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("File Name Edit"));
    setModal(true);
    fileNumberCaptionLabel = makeLabel(QStringLiteral("Label1"), QStringLiteral("File No."), this);
    fileNumberLabel = makeLabel(QStringLiteral("Label2"), QStringLiteral("001"), this);
    nameEdit = makeNameEdit(QStringLiteral("Edit1"), this);
    nameEdit->setMinimumWidth(260);
    inhibitBox = new QCheckBox(QStringLiteral("File Inhibit"), this);
    inhibitBox->setObjectName(QStringLiteral("CheckBox1"));
    okButton = makeButton(QStringLiteral("Button2"), QStringLiteral("OK"), this);
    cancelButton = makeButton(QStringLiteral("Button1"), QStringLiteral("Cancel"), this);
    okButton->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(fileNumberCaptionLabel, 0, 0);
    grid->addWidget(fileNumberLabel, 0, 1);
    grid->addWidget(nameEdit, 1, 0, 1, 2);
    grid->addWidget(inhibitBox, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    grid->addLayout(buttons, 3, 0, 1, 2);

    onSignal(okButton, &QPushButton::clicked, this, &FileNameDialog::acceptEdit);
    onSignal(cancelButton, &QPushButton::clicked, this, &FileNameDialog::cancel);
}

std::optional<FileEdit> FileNameDialog::edit(int fileNumber, const std::string& name, std::uint8_t inhibit) {
    fileNumberLabel->setText(QString::asprintf("%03d  ", fileNumber));
    nameEdit->setText(fromBytes(name));
    inhibitBox->setChecked(inhibit != 0);
    result_.reset();
    exec();
    return std::exchange(result_, std::nullopt);
}

void FileNameDialog::acceptEdit() {
    result_ = FileEdit{toBytes(nameEdit->text()), static_cast<std::uint8_t>(inhibitBox->isChecked() ? 1 : 0)};
    accept();
}

void FileNameDialog::cancel() { reject(); }

void FileNameDialog::reject() {
    result_.reset();
    QDialog::reject();
}

}  // namespace qz7
