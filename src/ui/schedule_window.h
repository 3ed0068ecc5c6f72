// TForm2, "Sequence Play": the sequence editor with its own clip list.
#pragma once

#include <QDialog>

class QListWidget;

namespace qz7 {

class TForm1;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    explicit TForm2(TForm1& main);

    // "CLIPS": line i shows clip i, like the main window's clip list.
    QListWidget* ListBox1;

private:
    TForm1& main_;
};

}  // namespace qz7
