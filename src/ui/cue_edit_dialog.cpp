#include "ui/cue_edit_dialog.h"

#include "ui/main_window.h"

namespace qz7 {

TForm6::TForm6(TForm1& main) : QDialog(&main), main_(main) {
    setObjectName(QStringLiteral("TForm6"));
    setWindowTitle(QStringLiteral("CUE Edit"));
    setModal(true);
}

}  // namespace qz7
