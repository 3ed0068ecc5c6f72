// TForm4, "Last file erase": asks before the most recent recording is
// erased. confirm() is true after OK.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace qz7 {


class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent);

    // Shows the recorded file count as the file to erase; true after OK.
    // where: the recorders that lose it ("on 192.168.1.20 and 192.168.1.21").
    bool confirm(int recordedFileCount, const QString& where);

    QLabel* Label1;        // "May I erase the last file?"
    QLabel* Label2;        // "File No."
    QLabel* Label3;        // the recorded file count
    QLabel* LabelRecorders;  // on which recorders
    QPushButton* BitBtn1;  // "OK"
    QPushButton* BitBtn2;  // "Cancel"

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    // Escape and the window's close button count as Cancel.
    void reject() override;
};

}  // namespace qz7
