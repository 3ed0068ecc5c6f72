#include "ui/last_file_erase_dialog.h"

#include "ui/main_window.h"

namespace qz7 {

TForm4::TForm4(TForm1& main) : QDialog(&main), main_(main) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("Last file erase"));
    setModal(true);
}

}  // namespace qz7
