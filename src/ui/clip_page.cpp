#include "ui/clip_page.h"

#include "ui/main_window.h"

namespace qz7 {

ClipPage::ClipPage(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("TabSheet7"));
}

}  // namespace qz7
