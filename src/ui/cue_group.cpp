#include "ui/cue_group.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "deck/deck.h"
#include "ui/control_page.h"
#include "ui/cue_edit_dialog.h"
#include "ui/forms.h"
#include "ui/glyph_icons.h"
#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {

// Mrk, Cue and Srh never hold the focus: Space must not repeat a mark or a search.
QPushButton* wordButton(const char* name, const QString& word, const QString& what, QWidget* parent) {
    QPushButton* b = makeButton(QString::fromLatin1(name), QString(), parent);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIcon(wordIcon(word));
    b->setIconSize(QSize(36, 20));
    b->setMinimumSize(48, 30);
    b->setToolTip(what);
    b->setAccessibleName(what);
    return b;
}


}  // namespace

CueGroup::CueGroup(Deck& deck, const ControlPage& control, Forms& forms, QWidget* parent)
    : QGroupBox(QStringLiteral("  CUE MARK/SEARCH  "), parent), deck_(deck), control_(control), forms_(forms) {
    setObjectName(QStringLiteral("GroupBox5"));
    markButton = wordButton("BitBtn20", QStringLiteral("Mrk"), tr("Mark the current position as a new cue"), this);
    cueButton = wordButton("BitBtn22", QStringLiteral("Cue"), tr("Go to the cue less the preroll time"), this);
    searchButton = wordButton("BitBtn21", QStringLiteral("Srh"), tr("Search to the cue exactly"), this);
    cueList = new QListWidget(this);
    cueList->setObjectName(QStringLiteral("ListBox4"));
    typedPositionEdit = makeMaskedEdit(QStringLiteral("MaskEdit1"), QStringLiteral("00:00:00:00;_"),
                               QStringLiteral("00:00:00:00"), this);
    typedPositionEdit->setEnabled(false);
    clearCueButton = makeButton(QStringLiteral("BitBtn14"), QStringLiteral("CLR"), this);
    typedModeButton = makeButton(QStringLiteral("BitBtn17"), QStringLiteral("SEL"), this);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(markButton);
    buttons->addWidget(cueButton);
    buttons->addWidget(searchButton);
    buttons->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(typedPositionEdit);
    bottom->addWidget(clearCueButton);
    bottom->addWidget(typedModeButton);
    auto* grid = new QGridLayout(this);
    grid->addLayout(buttons, 0, 0);
    grid->addWidget(cueList, 0, 1);
    grid->addLayout(bottom, 1, 0, 1, 2);

    onSignal(markButton, &QPushButton::clicked, this, &CueGroup::markCue);
    onSignal(cueButton, &QPushButton::clicked, this, &CueGroup::cue);
    onSignal(searchButton, &QPushButton::clicked, this, &CueGroup::search);
    onSignal(clearCueButton, &QPushButton::clicked, this, &CueGroup::deleteSelectedCue);
    onSignal(typedModeButton, &QPushButton::clicked, this, &CueGroup::toggleTypedPosition);
    onSignal(cueList, &QListWidget::itemDoubleClicked, this, &CueGroup::editSelectedCue);
}

// The cue takes the timecode the recorder last reported.
void CueGroup::markCue() {
    const Outcome outcome = deck_.markCue(Origin::panel());
    act(outcome);
    if (outcome.queued()) cueList->setCurrentRow(outcome.index);
}

// The cue count stays: it counts what the recorder reported, not free slots.
void CueGroup::deleteSelectedCue() {
    const int k = selectedLine(cueList);
    // A list refreshed twice holds lines past the table; they name no cue.
    if (k < 0) return;
    act(deck_.deleteCue(k, Origin::panel()));
}

void CueGroup::toggleTypedPosition() {
    typedPositionMode = typedPositionMode ? 0 : 1;
    cueList->setEnabled(typedPositionMode == 0);
    typedPositionEdit->setEnabled(typedPositionMode == 1);
}

// The preroll is counted off at 30 frames a second and wraps at 24 hours,
// whatever the video standard.
void CueGroup::cue() {
    if (typedPositionMode == 0) {
        goToSelectedCue(0x01);
        return;
    }
    const int preroll = control_.prerollSeconds();
    const QString typed = maskedText(typedPositionEdit);
    const int h = toInteger(typed.mid(0, 2));
    const int m = toInteger(typed.mid(3, 2));
    const int s = toInteger(typed.mid(6, 2));
    const int f = toInteger(typed.mid(9, 2));
    act(deck_.cueTypedPosition(h, m, s, f, preroll, Origin::panel()));
}

void CueGroup::search() {
    if (typedPositionMode == 0) {
        goToSelectedCue(0x00);
        return;
    }
    act(deck_.searchPosition(typedPosition(maskedText(typedPositionEdit)), Origin::panel()));
}

// Only the first (cue count) lines can be searched: the count is what the
// recorder reported, so a cue above a gap is shown but not reachable.
void CueGroup::goToSelectedCue(std::uint8_t flag) {
    const int k = selectedLine(cueList);
    if (k < 0) return;
    act(deck_.searchCue(k, flag == 0x01, Origin::panel()));
}

void CueGroup::editSelectedCue() {
    const int k = selectedLine(cueList);
    if (k < 0 || k >= kTableSize) return;
    if (deck_.media().cue(k).used == 0) return;
    const std::optional<CueEdit> edit = forms_.cueEditDialog()->edit(deck_.media().cue(k));
    if (!edit) return;
    act(deck_.editCue(k, edit->position, edit->name, Origin::panel()));
}

}  // namespace qz7
