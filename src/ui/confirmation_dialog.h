// TForm5, "Confirmation": "Are you sure?" with OK and Cancel; ask() is true
// only for an OK given to this question.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace qz7 {


class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent);

    // Shows the dialog modally; true after OK.
    bool ask();

    QLabel* Label1;        // "Are you sure?"
    QPushButton* Button1;  // "OK"
    QPushButton* Button2;  // "Cancel"

public slots:
    void Button1Click();
    void Button2Click();
};

}  // namespace qz7
