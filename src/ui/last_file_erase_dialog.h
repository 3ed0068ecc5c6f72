// TForm4, "Last file erase": the last-file-erase dialog.
#pragma once

#include <QDialog>

namespace qz7 {

class TForm1;

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(TForm1& main);

private:
    TForm1& main_;
};

}  // namespace qz7
