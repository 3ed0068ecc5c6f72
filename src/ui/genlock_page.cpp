#include "ui/genlock_page.h"

#include "ui/main_window.h"

namespace qz7 {

GenlockPage::GenlockPage(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("TabSheet2"));
}

}  // namespace qz7
