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
    clipList = new QListWidget(this);
    clipList->setObjectName(QStringLiteral("ListBox1"));
    openClipButton = makeButton(QStringLiteral("BitBtn15"), QStringLiteral("OPEN"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel(QStringLiteral("Label_CLIPS"), QStringLiteral("CLIPS"), this));
    layout->addWidget(clipList);
    layout->addWidget(openClipButton);

    // A click loads the line even when it is already the current one; arrow
    // keys load each line they move to.
    onSignal(clipList, &QListWidget::itemClicked, this, &ClipListPanel::showSelectedClip);
    onSignal(clipList, &QListWidget::currentRowChanged, this, &ClipListPanel::showSelectedClip);
    onSignal(clipList, &QListWidget::itemDoubleClicked, this, &ClipListPanel::showSelectedClipPage);
    onSignal(openClipButton, &QPushButton::clicked, this, &ClipListPanel::openClip);
}

void ClipListPanel::showSelectedClip() {
    const int k = selectedLine(clipList);
    // A list refreshed twice holds lines past the table; they name no clip.
    if (k < 0 || k >= kTableSize) return;
    clipPage_.showClip(k);
}

void ClipListPanel::showSelectedClipPage() {
    const int k = selectedLine(clipList);
    if (k < 0 || k >= kTableSize) return;
    clipPage_.showClip(k);
    emit clipPageWanted();
}

void ClipListPanel::openClip() {
    const int k = selectedLine(clipList);
    if (k < 0) return;
    act(deck_.openClip(k, Origin::panel()));
}

}  // namespace qz7
