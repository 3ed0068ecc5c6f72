#include "ui/clip_list_panel.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "link/protocol.h"
#include "ui/clip_page.h"
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

    // A click loads the line even when it is already the current one; arrow
    // keys load each line they move to.
    connect(ListBox1, &QListWidget::itemClicked, this, &ClipListPanel::ListBox1Click);
    connect(ListBox1, &QListWidget::currentRowChanged, this, &ClipListPanel::ListBox1Click);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &ClipListPanel::ListBox1DblClick);
    connect(BitBtn15, &QPushButton::clicked, this, &ClipListPanel::BitBtn15Click);
}

void ClipListPanel::ListBox1Click() {
    const int k = selectedLine(ListBox1);
    // A list refreshed twice holds lines past the table; they name no clip.
    if (k < 0 || k >= kTableSize) return;
    main_.clipPage()->showClip(k);
}

void ClipListPanel::ListBox1DblClick() {
    const int k = selectedLine(ListBox1);
    if (k < 0 || k >= kTableSize) return;
    main_.clipPage()->showClip(k);
    main_.PageControl1()->setCurrentIndex(TForm1::ClipTab);
}

void ClipListPanel::BitBtn15Click() {
    const int k = selectedLine(ListBox1);
    if (k < 0 || k >= main_.tables().clipCount) return;
    Packet p = Packet::frame(Group::Operate, Op::OpenClip);
    p.add16(static_cast<unsigned>(k));
    p.add(0x00);
    main_.queue(p.finish());
}

}  // namespace qz7
