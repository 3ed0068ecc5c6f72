#include "ui/handler.h"
#include "ui/transport_panel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <functional>

#include "deck/deck.h"
#include "ui/glyph_icons.h"
#include "ui/radio_group.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {

QPushButton* glyphButton(const char* name, const QIcon& icon, const QString& what, QSize size, QWidget* parent) {
    QPushButton* b = makeButton(QString::fromLatin1(name), QString(), parent);
    b->setIcon(icon);
    b->setIconSize(size - QSize(10, 10));
    b->setMinimumSize(size);
    b->setToolTip(what);
    b->setAccessibleName(what);
    // A transport button never holds the focus, so Space or Return cannot
    // repeat the last transport command by accident.
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QComboBox* speedBox(const char* name, const QStringList& items, int initial, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEditable(true);
    // Typed text must not become a new item: the item index picks the speed byte.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(items);
    box->setCurrentIndex(initial);
    return box;
}

}  // namespace

TransportPanel::TransportPanel(Deck& deck, QWidget* parent) : QWidget(parent), deck_(deck) {
    setObjectName(QStringLiteral("Panel7"));

    const QSize tall(34, 74), small(44, 34), big(64, 48);
    reverseButton = glyphButton("BitBtn9", glyphIcon(Glyph::StepReverse), tr("Reverse: slow motion or jog backwards"), tall, this);
    jogButton = glyphButton("BitBtn11", wordIcon(QStringLiteral("Jog")), tr("Jog mode: the arrows jog"), small, this);
    varButton = glyphButton("BitBtn4", wordIcon(QStringLiteral("Var")), tr("Var mode: the arrows run slow motion"), small, this);
    forwardButton = glyphButton("BitBtn10", glyphIcon(Glyph::StepForward), tr("Forward: slow motion or jog forwards"), tall, this);
    rewindButton = glyphButton("BitBtn6", glyphIcon(Glyph::Rewind), tr("Rewind"), big, this);
    fastForwardButton = glyphButton("BitBtn5", glyphIcon(Glyph::FastForward), tr("Fast forward"), big, this);
    playButton = glyphButton("BitBtn1", glyphIcon(Glyph::Play), tr("Play"), big, this);
    recordButton = glyphButton("BitBtn3", glyphIcon(Glyph::Record), tr("Record"), big, this);
    stopButton = glyphButton("BitBtn2", glyphIcon(Glyph::Stop), tr("Stop"), QSize(big.width() * 2, 40), this);

    windSpeedBox = speedBox("ComboBox3",
                         {QStringLiteral("x 100"), QStringLiteral("x 50"), QStringLiteral("x 25"),
                          QStringLiteral("x 10"), QStringLiteral("x 5")},
                         2, this);
    slowSpeedBox = speedBox("ComboBox4",
                         {QStringLiteral("x 3"), QStringLiteral("x 2"), QStringLiteral("x 1"), QStringLiteral("x 1/2"),
                          QStringLiteral("x 1/3"), QStringLiteral("x 1/4"), QStringLiteral("x 1/8"),
                          QStringLiteral("x 1/15"), QStringLiteral("x/1/30")},
                         0, this);
    monitorGroup = new RadioGroup(QStringLiteral("RadioGroup18"), QString(), {QStringLiteral("EE"), QStringLiteral("PB")}, 0,
                                  this, 2);
    stopModeGroup = new RadioGroup(QStringLiteral("RadioGroup19"), QString(),
                                  {QStringLiteral("LOCK"), QStringLiteral("NORM")}, 1, this, 2);

    auto* jogVar = new QVBoxLayout;
    jogVar->addWidget(jogButton);
    jogVar->addWidget(varButton);
    auto* speeds = new QVBoxLayout;
    speeds->addWidget(makeLabel(QStringLiteral("Label_FFRWD"), QStringLiteral("FF/RWD SPEED"), this));
    speeds->addWidget(windSpeedBox);
    speeds->addWidget(makeLabel(QStringLiteral("Label_SLOW"), QStringLiteral("SLOW SPEED"), this));
    speeds->addWidget(slowSpeedBox);

    // Upper row: arrows with Jog/Var between them, the speed boxes, then the
    // big transport buttons; under them EE/PB, STOP and LOCK/NORM.
    auto* grid = new QGridLayout(this);
    grid->addWidget(reverseButton, 0, 0, 2, 1);
    grid->addLayout(jogVar, 0, 1, 2, 1);
    grid->addWidget(forwardButton, 0, 2, 2, 1);
    grid->addLayout(speeds, 0, 3, 2, 1);
    grid->addWidget(rewindButton, 0, 4);
    grid->addWidget(fastForwardButton, 0, 5);
    grid->addWidget(playButton, 0, 6);
    grid->addWidget(recordButton, 0, 7);
    grid->addWidget(monitorGroup, 1, 4);
    grid->addWidget(stopButton, 1, 5, 1, 2);
    grid->addWidget(stopModeGroup, 1, 7);
    grid->setColumnStretch(8, 1);

    // Jog and Var show the arrows' mode; a click runs the handler, which sets both.
    jogButton->setCheckable(true);
    varButton->setCheckable(true);
    showJogMode();

    // Keys for the big transport buttons, anywhere in the main window. Owned
    // by the panel, so they are dead while the panel is disabled (before "Apply").
    // Record needs Shift: a lone F9 must not start a recording.
    // A key acts as its button does, and the deck hears it came from the key.
    const struct {
        QKeySequence key;
        QPushButton* button;
        std::function<void(const Origin&)> action;
    } keys[] = {
        {QKeySequence(Qt::Key_F5), rewindButton, [this](const Origin& o) { wind(Direction::Reverse, o); }},
        {QKeySequence(Qt::Key_F6), stopButton, [this](const Origin& o) { stopFrom(o); }},
        {QKeySequence(Qt::Key_F7), playButton, [this](const Origin& o) { playFrom(o); }},
        {QKeySequence(Qt::Key_F8), fastForwardButton, [this](const Origin& o) { wind(Direction::Forward, o); }},
        {QKeySequence(Qt::SHIFT | Qt::Key_F9), recordButton, [this](const Origin& o) { recordFrom(o); }},
    };
    for (const auto& k : keys) {
        auto* shortcut = new QShortcut(k.key, this);
        shortcut->setObjectName(QStringLiteral("Key") + k.button->objectName());
        shortcut->setContext(Qt::WindowShortcut);
        const Origin origin = Origin::key(k.key.toString(QKeySequence::PortableText).toStdString());
        onSignal(shortcut, &QShortcut::activated, this, [action = k.action, origin] { action(origin); });
        k.button->setToolTip(QStringLiteral("%1 (%2)").arg(k.button->toolTip(),
                                                           k.key.toString(QKeySequence::NativeText)));
    }

    onSignal(playButton, &QPushButton::clicked, this, &TransportPanel::play);
    onSignal(recordButton, &QPushButton::clicked, this, &TransportPanel::record);
    onSignal(stopButton, &QPushButton::clicked, this, &TransportPanel::stop);
    onSignal(fastForwardButton, &QPushButton::clicked, this, &TransportPanel::fastForward);
    onSignal(rewindButton, &QPushButton::clicked, this, &TransportPanel::rewind);
    onSignal(forwardButton, &QPushButton::clicked, this, &TransportPanel::stepForward);
    onSignal(reverseButton, &QPushButton::clicked, this, &TransportPanel::stepReverse);
    onSignal(jogButton, &QPushButton::clicked, this, &TransportPanel::selectJog);
    onSignal(varButton, &QPushButton::clicked, this, &TransportPanel::selectVar);
    onSignal(monitorGroup, &RadioGroup::clicked, this, &TransportPanel::switchMonitor);
}

int TransportPanel::itemIndex(const QComboBox* box) {
    return box->findText(box->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void TransportPanel::play() { playFrom(Origin::panel()); }
void TransportPanel::record() { recordFrom(Origin::panel()); }
void TransportPanel::stop() { stopFrom(Origin::panel()); }
void TransportPanel::fastForward() { wind(Direction::Forward, Origin::panel()); }
void TransportPanel::rewind() { wind(Direction::Reverse, Origin::panel()); }

void TransportPanel::playFrom(const Origin& origin) { act(deck_.play(origin)); }
void TransportPanel::recordFrom(const Origin& origin) { act(deck_.record(origin)); }
void TransportPanel::stopFrom(const Origin& origin) { act(deck_.stop(stopModeGroup->itemIndex() == 0, origin)); }

void TransportPanel::wind(Direction direction, const Origin& origin) {
    const int index = itemIndex(windSpeedBox);
    if (index < 0) return;  // typed text that names no speed
    act(deck_.wind(direction, index, origin));
}

void TransportPanel::stepForward() { arrow(Direction::Forward); }
void TransportPanel::stepReverse() { arrow(Direction::Reverse); }

void TransportPanel::arrow(Direction direction) {
    if (jogMode != 0) {
        act(deck_.jog(direction, Origin::panel()));
        return;
    }
    const int index = itemIndex(slowSpeedBox);
    if (index < 0) return;
    act(deck_.slow(direction, index, Origin::panel()));
}

void TransportPanel::selectJog() {
    if (jogMode == 0) jogMode = 1;
    showJogMode();
}

void TransportPanel::selectVar() {
    if (jogMode == 1) jogMode = 0;
    showJogMode();
}

// A click on the button already checked would uncheck it; the mode decides.
void TransportPanel::showJogMode() {
    jogButton->setChecked(jogMode == 1);
    varButton->setChecked(jogMode == 0);
}

void TransportPanel::showRecording(bool recording) {
    if (recordButton->property("lit").toBool() == recording) return;
    recordButton->setProperty("lit", recording);
    recordButton->setIcon(glyphIcon(recording ? Glyph::RecordLit : Glyph::Record));
    recordButton->setStyleSheet(recording ? QStringLiteral("QPushButton { background-color: #d01010; border: 1px solid #600000; "
                                                      "border-radius: 3px; }")
                                     : QString());
}

void TransportPanel::switchMonitor() {
    act(monitorGroup->itemIndex() == 0 ? deck_.monitorEE(Origin::panel()) : deck_.monitorPB(Origin::panel()));
}

}  // namespace qz7
