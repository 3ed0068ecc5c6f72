#include "ui/cue_group.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "ui/main_window.h"

namespace qz7 {

CueGroup::CueGroup(TForm1& main, QWidget* parent)
    : QGroupBox(QStringLiteral("  CUE MARK/SEARCH  "), parent), main_(main) {
    setObjectName(QStringLiteral("GroupBox5"));
    ListBox4 = new QListWidget(this);
    ListBox4->setObjectName(QStringLiteral("ListBox4"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox4);
}

}  // namespace qz7
