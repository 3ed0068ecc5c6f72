#include "ui/clip_list_panel.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "deck/deck.h"
#include "ui/clip_page.h"
#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

ClipListPanel::ClipListPanel(Deck& deck, ClipPage& clipPage, QWidget* parent)
    : QWidget(parent), deck_(deck), clipPage_(clipPage) {
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
    onSignal(ListBox1, &QListWidget::itemClicked, this, &ClipListPanel::ListBox1Click);
    onSignal(ListBox1, &QListWidget::currentRowChanged, this, &ClipListPanel::ListBox1Click);
    onSignal(ListBox1, &QListWidget::itemDoubleClicked, this, &ClipListPanel::ListBox1DblClick);
    onSignal(BitBtn15, &QPushButton::clicked, this, &ClipListPanel::BitBtn15Click);
}

void ClipListPanel::ListBox1Click() {
    const int k = selectedLine(ListBox1);
    // A list refreshed twice holds lines past the table; they name no clip.
    if (k < 0 || k >= kTableSize) return;
    clipPage_.showClip(k);
}

void ClipListPanel::ListBox1DblClick() {
    const int k = selectedLine(ListBox1);
    if (k < 0 || k >= kTableSize) return;
    clipPage_.showClip(k);
    emit clipPageWanted();
}

void ClipListPanel::BitBtn15Click() {
    const int k = selectedLine(ListBox1);
    if (k < 0) return;
    act(deck_.openClip(k, Origin::panel()));
}

}  // namespace qz7
