// The " Clip" page: edits one clip (number, name, in and out points).
#pragma once

#include <QWidget>

namespace qz7 {

class TForm1;

class ClipPage : public QWidget {
    Q_OBJECT
public:
    ClipPage(TForm1& main, QWidget* parent);

private:
    TForm1& main_;
};

}  // namespace qz7
