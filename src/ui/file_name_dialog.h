// TForm3, "File Name Edit": renames a recorded file and sets its inhibit
// flag. The main window fills the fields before each showing; OK writes the
// file table entry and sets the file-edit answer.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qz7 {

class TForm1;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(TForm1& main);

    // The file table entry being edited (file number entryIndex + 1).
    int entryIndex = 0;

    QLabel* Label1;        // "File No."
    QLabel* Label2;        // the file number
    QLineEdit* Edit1;      // the file name
    QCheckBox* CheckBox1;  // "File Inhibit"
    QPushButton* Button2;  // "OK"
    QPushButton* Button1;  // "Cancel"

public slots:
    void Button2Click();
    void Button1Click();
    // Escape and the window's close button count as Cancel.
    void reject() override;

private:
    TForm1& main_;
};

}  // namespace qz7
