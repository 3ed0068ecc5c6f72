#include "ui/file_name_dialog.h"

#include "ui/main_window.h"

namespace qz7 {

TForm3::TForm3(TForm1& main) : QDialog(&main), main_(main) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("File Name Edit"));
    setModal(true);
}

}  // namespace qz7
