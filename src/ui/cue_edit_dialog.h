// TForm6, "CUE Edit": the cue edit dialog.
#pragma once

#include <QDialog>

namespace qz7 {

class TForm1;

class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(TForm1& main);

private:
    TForm1& main_;
};

}  // namespace qz7
