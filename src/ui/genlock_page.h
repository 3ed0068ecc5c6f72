// The "Gen-lock" page: genlock source, fixed standard, PSF mode.
#pragma once

#include <QWidget>

class QPushButton;

namespace qz7 {

class TForm1;
class RadioGroup;

class GenlockPage : public QWidget {
    Q_OBJECT
public:
    GenlockPage(TForm1& main, QWidget* parent);

    RadioGroup* RadioGroup7;   // "Genlock source"
    RadioGroup* RadioGroup20;  // "Fixed Standard"
    RadioGroup* RadioGroup21;  // "PSF mode"
    QPushButton* Button12;     // "SET"

public slots:
    void Button12Click();

private:
    TForm1& main_;
};

}  // namespace qz7
