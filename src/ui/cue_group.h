// The "  CUE MARK/SEARCH  " group (GroupBox5): the cue list and its buttons.
#pragma once

#include <QGroupBox>

class QListWidget;

namespace qz7 {

class TForm1;

class CueGroup : public QGroupBox {
    Q_OBJECT
public:
    CueGroup(TForm1& main, QWidget* parent);

    QListWidget* ListBox4;  // line k = cue k

private:
    TForm1& main_;
};

}  // namespace qz7
