// "File Name Edit": renames a recorded file and sets its inhibit
// flag. edit() fills the fields, shows the dialog and returns what OK took.
#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qz7 {


// What "File Name Edit" OK gives back.
struct FileEdit {
    std::string name;
    std::uint8_t inhibit = 0;  // 0x01 when "File Inhibit" is ticked
};

class FileNameDialog : public QDialog {
    Q_OBJECT
public:
    explicit FileNameDialog(QWidget* parent);

    // Shows file fileNumber's name and flag; any nonzero flag ticks the box.
    // Empty after Cancel.
    std::optional<FileEdit> edit(int fileNumber, const std::string& name, std::uint8_t inhibit);

    QLabel* fileNumberCaptionLabel;
    QLabel* fileNumberLabel;  // the file number
    QLineEdit* nameEdit;
    QCheckBox* inhibitBox;
    QPushButton* okButton;
    QPushButton* cancelButton;

public slots:
    void acceptEdit();
    void cancel();
    // Escape and the window's close button count as Cancel.
    void reject() override;

private:
    std::optional<FileEdit> result_;
};

}  // namespace qz7
