// The "Gen-lock" page: genlock source, fixed standard, PSF mode.
#pragma once

#include <QWidget>

namespace qz7 {

class TForm1;

class GenlockPage : public QWidget {
    Q_OBJECT
public:
    GenlockPage(TForm1& main, QWidget* parent);

private:
    TForm1& main_;
};

}  // namespace qz7
