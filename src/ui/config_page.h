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
    ConfigPage(Deck& deck, Forms& forms, QWidget* parent);

    RadioGroup* diskConfigurationGroup;  // "HDD Configuration"
    QPushButton* eraseDisksButton;

public slots:
    void eraseDisks();

private:
    Deck& deck_;
    Forms& forms_;
};

}  // namespace qz7
