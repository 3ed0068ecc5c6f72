#include "ui/video_page.h"

#include "ui/main_window.h"

namespace qz7 {

VideoPage::VideoPage(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("TabSheet5"));
}

}  // namespace qz7
