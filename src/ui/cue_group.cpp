#include "ui/cue_group.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/commands.h"
#include "media/media_model.h"
#include "net/recorder_link.h"
#include "ui/control_page.h"
#include "ui/cue_edit_dialog.h"
#include "ui/forms.h"
#include "ui/glyph_icons.h"
#include "ui/handler.h"
#include "ui/status_panel.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {

QPushButton* wordButton(const char* name, const QString& word, const QString& what, QWidget* parent) {
    QPushButton* b = makeButton(QString::fromLatin1(name), QString(), parent);
    b->setIcon(wordIcon(word));
    b->setIconSize(QSize(36, 20));
    b->setMinimumSize(48, 30);
    b->setToolTip(what);
    b->setAccessibleName(what);
    return b;
}


}  // namespace

CueGroup::CueGroup(RecorderLink& link, MediaModel& media, const StatusPanel& display, const ControlPage& control,
                   Forms& forms, QWidget* parent)
    : QGroupBox(QStringLiteral("  CUE MARK/SEARCH  "), parent),
      link_(link),
      media_(media),
      display_(display),
      control_(control),
      forms_(forms) {
    setObjectName(QStringLiteral("GroupBox5"));
    BitBtn20 = wordButton("BitBtn20", QStringLiteral("Mrk"), tr("Mark the current position as a new cue"), this);
    BitBtn22 = wordButton("BitBtn22", QStringLiteral("Cue"), tr("Go to the cue less the preroll time"), this);
    BitBtn21 = wordButton("BitBtn21", QStringLiteral("Srh"), tr("Search to the cue exactly"), this);
    ListBox4 = new QListWidget(this);
    ListBox4->setObjectName(QStringLiteral("ListBox4"));
    MaskEdit1 = makeMaskedEdit(QStringLiteral("MaskEdit1"), QStringLiteral("00:00:00:00;_"),
                               QStringLiteral("00:00:00:00"), this);
    MaskEdit1->setEnabled(false);
    BitBtn14 = makeButton(QStringLiteral("BitBtn14"), QStringLiteral("CLR"), this);
    BitBtn17 = makeButton(QStringLiteral("BitBtn17"), QStringLiteral("SEL"), this);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(BitBtn20);
    buttons->addWidget(BitBtn22);
    buttons->addWidget(BitBtn21);
    buttons->addStretch();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(MaskEdit1);
    bottom->addWidget(BitBtn14);
    bottom->addWidget(BitBtn17);
    auto* grid = new QGridLayout(this);
    grid->addLayout(buttons, 0, 0);
    grid->addWidget(ListBox4, 0, 1);
    grid->addLayout(bottom, 1, 0, 1, 2);

    onSignal(BitBtn20, &QPushButton::clicked, this, &CueGroup::BitBtn20Click);
    onSignal(BitBtn22, &QPushButton::clicked, this, &CueGroup::BitBtn22Click);
    onSignal(BitBtn21, &QPushButton::clicked, this, &CueGroup::BitBtn21Click);
    onSignal(BitBtn14, &QPushButton::clicked, this, &CueGroup::BitBtn14Click);
    onSignal(BitBtn17, &QPushButton::clicked, this, &CueGroup::BitBtn17Click);
    onSignal(ListBox4, &QListWidget::itemDoubleClicked, this, &CueGroup::ListBox4DblClick);
}

// Freed slots are filled again before higher ones.
void CueGroup::BitBtn20Click() {
    const int k =
        media_.markCue(Timecode{display_.hours(), display_.minutes(), display_.seconds(), display_.frames()});
    if (k < 0) return;
    ListBox4->setCurrentRow(k);
    link_.queue(cueWrite(k, media_.cue(k), 0x01));
}

// The cue count stays: it counts what the recorder reported, not free slots.
void CueGroup::BitBtn14Click() {
    const int k = selectedLine(ListBox4);
    // A list refreshed twice holds lines past the table; they name no cue.
    if (k < 0 || k >= kTableSize) return;
    link_.queue(cueWrite(k, media_.deleteCue(k), 0x00));
}

void CueGroup::BitBtn17Click() {
    typedPositionMode = typedPositionMode ? 0 : 1;
    ListBox4->setEnabled(typedPositionMode == 0);
    MaskEdit1->setEnabled(typedPositionMode == 1);
}

// The preroll is counted off at 30 frames a second and wraps at 24 hours,
// whatever the video standard.
void CueGroup::BitBtn22Click() {
    if (typedPositionMode == 0) {
        goToSelectedCue(0x01);
        return;
    }
    const int preroll = toInteger(control_.prerollText());
    const QString typed = maskedText(MaskEdit1);
    int h = toInteger(typed.mid(0, 2));
    int m = toInteger(typed.mid(3, 2));
    int s = toInteger(typed.mid(6, 2));
    int f = toInteger(typed.mid(9, 2));
    for (long long i = 0, steps = static_cast<long long>(preroll) * 30; i < steps; ++i) {
        if (--f >= 0) continue;
        f = 29;
        if (--s >= 0) continue;
        s = 59;
        if (--m >= 0) continue;
        m = 59;
        if (--h < 0) h = 23;
    }
    link_.queue(cmd::timecodeSearch({toBcd(f), toBcd(s), toBcd(m), toBcd(h)}));
}

void CueGroup::BitBtn21Click() {
    if (typedPositionMode == 0) {
        goToSelectedCue(0x00);
        return;
    }
    const Timecode position = typedPosition(maskedText(MaskEdit1));
    link_.queue(cmd::timecodeSearch(position.bytes()));
}

// Only the first (cue count) lines can be searched: the count is what the
// recorder reported, so a cue above a gap is shown but not reachable.
void CueGroup::goToSelectedCue(std::uint8_t flag) {
    const int k = selectedLine(ListBox4);
    const int count = media_.cueCount();
    if (count == 0 || k < 0 || k >= count) return;
    link_.queue(cmd::goToCue(k, flag));
}

void CueGroup::ListBox4DblClick() {
    const int k = selectedLine(ListBox4);
    if (k < 0 || k >= kTableSize) return;
    if (media_.cue(k).used == 0) return;
    const std::optional<CueEdit> edit = forms_.form6()->edit(media_.cue(k));
    if (!edit) return;
    link_.queue(cueWrite(k, media_.editCue(k, edit->position, edit->name), 0x01));
}

}  // namespace qz7
