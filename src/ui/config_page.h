// The "Config" page: disk configuration and "HDD ERASE".
#pragma once

#include <QWidget>

class QPushButton;

namespace qz7 {

class Forms;
class Deck;
class RadioGroup;

class ConfigPage : public QWidget {
    Q_OBJECT
public:
    // "Confirmation" is the forms' TForm5.
    ConfigPage(Deck& deck, Forms& forms, QWidget* parent);

    RadioGroup* RadioGroup2;  // "HDD Configuration"
    QPushButton* Button9;     // "HDD ERASE"

public slots:
    void Button9Click();

private:
    Deck& deck_;
    Forms& forms_;
};

}  // namespace qz7
