#include "ui/test_signal_page.h"

#include "ui/main_window.h"

namespace qz7 {

TestSignalPage::TestSignalPage(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("TabSheet3"));
}

}  // namespace qz7
