#include "ui/timecode_page.h"

#include "ui/main_window.h"

namespace qz7 {

TimecodePage::TimecodePage(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("TabSheet1"));
}

}  // namespace qz7
