#include "ui/cue_group.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/protocol.h"
#include "ui/control_page.h"
#include "ui/cue_edit_dialog.h"
#include "ui/forms.h"
#include "ui/glyph_icons.h"
#include "ui/main_window.h"
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

Packet timecodeSearch(int hours, int minutes, int seconds, int frames) {
    return Packet::frame(Group::Operate, Op::TimecodeSearch,
                         {toBcd(frames), toBcd(seconds), toBcd(minutes), toBcd(hours)});
}

}  // namespace

CueGroup::CueGroup(TForm1& main, QWidget* parent)
    : QGroupBox(QStringLiteral("  CUE MARK/SEARCH  "), parent), main_(main) {
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

    connect(BitBtn20, &QPushButton::clicked, this, &CueGroup::BitBtn20Click);
    connect(BitBtn22, &QPushButton::clicked, this, &CueGroup::BitBtn22Click);
    connect(BitBtn21, &QPushButton::clicked, this, &CueGroup::BitBtn21Click);
    connect(BitBtn14, &QPushButton::clicked, this, &CueGroup::BitBtn14Click);
    connect(BitBtn17, &QPushButton::clicked, this, &CueGroup::BitBtn17Click);
    connect(ListBox4, &QListWidget::itemDoubleClicked, this, &CueGroup::ListBox4DblClick);
}

// Freed slots are filled again before higher ones.
void CueGroup::BitBtn20Click() {
    MediaTables& tables = main_.tables();
    int k = 0;
    while (k < kTableSize && tables.cues[static_cast<std::size_t>(k)].used != 0) ++k;
    if (k == kTableSize) return;
    CueEntry& cue = tables.cues[static_cast<std::size_t>(k)];
    const StatusPanel* display = main_.statusPanel();
    cue.position = Timecode{display->hours(), display->minutes(), display->seconds(), display->frames()};
    replaceLineGrowing(ListBox4, k, cueLine(cue));
    cue.used = 1;
    ListBox4->setCurrentRow(k);
    if (k >= tables.cueCount) tables.cueCount = k + 1;
    main_.queue(cueWrite(k, cue, 0x01));
}

// The cue count stays: it counts what the recorder reported, not free slots.
void CueGroup::BitBtn14Click() {
    const int k = selectedLine(ListBox4);
    // A list refreshed twice holds lines past the table; they name no cue.
    if (k < 0 || k >= kTableSize) return;
    CueEntry& cue = main_.tables().cues[static_cast<std::size_t>(k)];
    cue.position = Timecode{};
    cue.name = kBlankLine;
    replaceLine(ListBox4, k, kBlankLine);
    cue.used = 0;
    main_.queue(cueWrite(k, cue, 0x00));
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
    const int preroll = toInteger(main_.controlPage()->prerollText());
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
    main_.queue(timecodeSearch(h, m, s, f));
}

void CueGroup::BitBtn21Click() {
    if (typedPositionMode == 0) {
        goToSelectedCue(0x00);
        return;
    }
    const Timecode position = typedPosition(maskedText(MaskEdit1));
    Packet p = Packet::frame(Group::Operate, Op::TimecodeSearch);
    p.add(position.bytes());
    main_.queue(p.finish());
}

// Only the first (cue count) lines can be searched: the count is what the
// recorder reported, so a cue above a gap is shown but not reachable.
void CueGroup::goToSelectedCue(std::uint8_t flag) {
    const int k = selectedLine(ListBox4);
    const int count = main_.tables().cueCount;
    if (count == 0 || k < 0 || k >= count) return;
    Packet p = Packet::frame(Group::Operate, Op::GoToCue);
    p.add16(static_cast<unsigned>(k));
    p.add(flag);
    main_.queue(p.finish());
}

void CueGroup::ListBox4DblClick() {
    const int k = selectedLine(ListBox4);
    if (k < 0 || k >= kTableSize) return;
    CueEntry& cue = main_.tables().cues[static_cast<std::size_t>(k)];
    if (cue.used == 0) return;
    TForm6* dialog = main_.forms().form6();
    dialog->entryIndex = k;
    dialog->MaskEdit1->setText(fromBytes(cue.position.text()));
    dialog->Edit1->setText(fromBytes(cue.name));
    dialog->exec();
    if (main_.cueEditAnswer != 1) return;
    replaceLine(ListBox4, k, cueLine(cue));
    cue.used = 1;
    main_.queue(cueWrite(k, cue, 0x01));
    main_.cueEditAnswer = 0;
}

}  // namespace qz7
