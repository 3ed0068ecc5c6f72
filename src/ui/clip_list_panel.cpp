#include "ui/clip_list_panel.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/main_window.h"
#include "ui/widgets.h"

namespace qz7 {

ClipListPanel::ClipListPanel(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("Panel6"));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    BitBtn15 = makeButton(QStringLiteral("BitBtn15"), QStringLiteral("OPEN"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel(QStringLiteral("Label_CLIPS"), QStringLiteral("CLIPS"), this));
    layout->addWidget(ListBox1);
    layout->addWidget(BitBtn15);
}

}  // namespace qz7
