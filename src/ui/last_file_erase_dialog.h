// "Last file erase": asks before the most recent recording is
// erased. confirm() is true after OK.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace qz7 {


class LastFileEraseDialog : public QDialog {
    Q_OBJECT
public:
    explicit LastFileEraseDialog(QWidget* parent);

    // Shows the recorded file count as the file to erase; true after OK.
    // where: the recorders that lose it ("on 192.168.1.20 and 192.168.1.21").
    bool confirm(int recordedFileCount, const QString& where);

    QLabel* questionLabel;  // "May I erase the last file?"
    QLabel* fileNumberCaptionLabel;
    QLabel* fileNumberLabel;  // the recorded file count
    QLabel* recordersLabel;  // on which recorders
    QPushButton* okButton;
    QPushButton* cancelButton;

public slots:
    void confirmErase();
    void cancel();
    // Escape and the window's close button count as Cancel.
    void reject() override;
};

}  // namespace qz7
