// The "Timecode" page: time code generator settings, preset and reset.
#pragma once

#include <QWidget>

namespace qz7 {

class TForm1;

class TimecodePage : public QWidget {
    Q_OBJECT
public:
    TimecodePage(TForm1& main, QWidget* parent);

private:
    TForm1& main_;
};

}  // namespace qz7
