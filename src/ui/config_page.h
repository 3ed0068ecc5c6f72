// The "Config" page: disk configuration and "HDD ERASE".
#pragma once

#include <QWidget>

class QPushButton;

namespace qz7 {

class TForm1;
class RadioGroup;

class ConfigPage : public QWidget {
    Q_OBJECT
public:
    ConfigPage(TForm1& main, QWidget* parent);

    RadioGroup* RadioGroup2;  // "HDD Configuration"
    QPushButton* Button9;     // "HDD ERASE"

public slots:
    void Button9Click();

private:
    TForm1& main_;
};

}  // namespace qz7
