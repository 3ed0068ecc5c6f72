#include "ui/control_page.h"

#include "ui/main_window.h"

namespace qz7 {

ControlPage::ControlPage(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("TabSheet6"));
}

QString ControlPage::prerollText() const { return QStringLiteral("06"); }

void TForm1::onPrerollTime(std::uint8_t) {}

}  // namespace qz7
