// The "Config" page: disk configuration and "HDD ERASE".
#pragma once

#include <QWidget>

namespace qz7 {

class TForm1;
class RadioGroup;

class ConfigPage : public QWidget {
    Q_OBJECT
public:
    ConfigPage(TForm1& main, QWidget* parent);

    RadioGroup* RadioGroup2;  // "HDD Configuration"

private:
    TForm1& main_;
};

}  // namespace qz7
