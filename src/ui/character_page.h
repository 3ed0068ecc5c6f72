// The "Character" page (TabSheet8): the recorder's character overlay.
#pragma once

#include <QWidget>

namespace qz7 {

class TForm1;

class CharacterPage : public QWidget {
    Q_OBJECT
public:
    CharacterPage(TForm1& main, QWidget* parent);

private:
    TForm1& main_;
};

}  // namespace qz7
