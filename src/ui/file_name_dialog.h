// TForm3, "File Name Edit": the file name dialog.
#pragma once

#include <QDialog>

namespace qz7 {

class TForm1;

class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(TForm1& main);

private:
    TForm1& main_;
};

}  // namespace qz7
