// TForm5, "Confirmation": "Are you sure?" with OK and Cancel. OK sets the
// main window's confirmation answer to 1; the caller resets it after acting.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace qz7 {

class TForm1;

class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(TForm1& main);

    // Shows the dialog modally; returns the confirmation answer afterwards.
    int ask();

    QLabel* Label1;        // "Are you sure?"
    QPushButton* Button1;  // "OK"
    QPushButton* Button2;  // "Cancel"

public slots:
    void Button1Click();
    void Button2Click();

private:
    TForm1& main_;
};

}  // namespace qz7
