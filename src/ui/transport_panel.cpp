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
    BitBtn9 = glyphButton("BitBtn9", glyphIcon(Glyph::StepReverse), tr("Reverse: slow motion or jog backwards"), tall, this);
    BitBtn11 = glyphButton("BitBtn11", wordIcon(QStringLiteral("Jog")), tr("Jog mode: the arrows jog"), small, this);
    BitBtn4 = glyphButton("BitBtn4", wordIcon(QStringLiteral("Var")), tr("Var mode: the arrows run slow motion"), small, this);
    BitBtn10 = glyphButton("BitBtn10", glyphIcon(Glyph::StepForward), tr("Forward: slow motion or jog forwards"), tall, this);
    BitBtn6 = glyphButton("BitBtn6", glyphIcon(Glyph::Rewind), tr("Rewind"), big, this);
    BitBtn5 = glyphButton("BitBtn5", glyphIcon(Glyph::FastForward), tr("Fast forward"), big, this);
    BitBtn1 = glyphButton("BitBtn1", glyphIcon(Glyph::Play), tr("Play"), big, this);
    BitBtn3 = glyphButton("BitBtn3", glyphIcon(Glyph::Record), tr("Record"), big, this);
    BitBtn2 = glyphButton("BitBtn2", glyphIcon(Glyph::Stop), tr("Stop"), QSize(big.width() * 2, 40), this);

    ComboBox3 = speedBox("ComboBox3",
                         {QStringLiteral("x 100"), QStringLiteral("x 50"), QStringLiteral("x 25"),
                          QStringLiteral("x 10"), QStringLiteral("x 5")},
                         2, this);
    ComboBox4 = speedBox("ComboBox4",
                         {QStringLiteral("x 3"), QStringLiteral("x 2"), QStringLiteral("x 1"), QStringLiteral("x 1/2"),
                          QStringLiteral("x 1/3"), QStringLiteral("x 1/4"), QStringLiteral("x 1/8"),
                          QStringLiteral("x 1/15"), QStringLiteral("x/1/30")},
                         0, this);
    RadioGroup18 = new RadioGroup(QStringLiteral("RadioGroup18"), QString(), {QStringLiteral("EE"), QStringLiteral("PB")}, 0,
                                  this, 2);
    RadioGroup19 = new RadioGroup(QStringLiteral("RadioGroup19"), QString(),
                                  {QStringLiteral("LOCK"), QStringLiteral("NORM")}, 1, this, 2);

    auto* jogVar = new QVBoxLayout;
    jogVar->addWidget(BitBtn11);
    jogVar->addWidget(BitBtn4);
    auto* speeds = new QVBoxLayout;
    speeds->addWidget(makeLabel(QStringLiteral("Label_FFRWD"), QStringLiteral("FF/RWD SPEED"), this));
    speeds->addWidget(ComboBox3);
    speeds->addWidget(makeLabel(QStringLiteral("Label_SLOW"), QStringLiteral("SLOW SPEED"), this));
    speeds->addWidget(ComboBox4);

    // Upper row: arrows with Jog/Var between them, the speed boxes, then the
    // big transport buttons; under them EE/PB, STOP and LOCK/NORM.
    auto* grid = new QGridLayout(this);
    grid->addWidget(BitBtn9, 0, 0, 2, 1);
    grid->addLayout(jogVar, 0, 1, 2, 1);
    grid->addWidget(BitBtn10, 0, 2, 2, 1);
    grid->addLayout(speeds, 0, 3, 2, 1);
    grid->addWidget(BitBtn6, 0, 4);
    grid->addWidget(BitBtn5, 0, 5);
    grid->addWidget(BitBtn1, 0, 6);
    grid->addWidget(BitBtn3, 0, 7);
    grid->addWidget(RadioGroup18, 1, 4);
    grid->addWidget(BitBtn2, 1, 5, 1, 2);
    grid->addWidget(RadioGroup19, 1, 7);
    grid->setColumnStretch(8, 1);

    // Jog and Var show the arrows' mode; a click runs the handler, which sets both.
    BitBtn11->setCheckable(true);
    BitBtn4->setCheckable(true);
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
        {QKeySequence(Qt::Key_F5), BitBtn6, [this](const Origin& o) { wind(Direction::Reverse, o); }},
        {QKeySequence(Qt::Key_F6), BitBtn2, [this](const Origin& o) { stop(o); }},
        {QKeySequence(Qt::Key_F7), BitBtn1, [this](const Origin& o) { play(o); }},
        {QKeySequence(Qt::Key_F8), BitBtn5, [this](const Origin& o) { wind(Direction::Forward, o); }},
        {QKeySequence(Qt::SHIFT | Qt::Key_F9), BitBtn3, [this](const Origin& o) { record(o); }},
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

    onSignal(BitBtn1, &QPushButton::clicked, this, &TransportPanel::BitBtn1Click);
    onSignal(BitBtn3, &QPushButton::clicked, this, &TransportPanel::BitBtn3Click);
    onSignal(BitBtn2, &QPushButton::clicked, this, &TransportPanel::BitBtn2Click);
    onSignal(BitBtn5, &QPushButton::clicked, this, &TransportPanel::BitBtn5Click);
    onSignal(BitBtn6, &QPushButton::clicked, this, &TransportPanel::BitBtn6Click);
    onSignal(BitBtn10, &QPushButton::clicked, this, &TransportPanel::BitBtn10Click);
    onSignal(BitBtn9, &QPushButton::clicked, this, &TransportPanel::BitBtn9Click);
    onSignal(BitBtn11, &QPushButton::clicked, this, &TransportPanel::BitBtn11Click);
    onSignal(BitBtn4, &QPushButton::clicked, this, &TransportPanel::BitBtn4Click);
    onSignal(RadioGroup18, &RadioGroup::clicked, this, &TransportPanel::RadioGroup18Click);
}

int TransportPanel::itemIndex(const QComboBox* box) {
    return box->findText(box->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void TransportPanel::BitBtn1Click() { play(Origin::panel()); }
void TransportPanel::BitBtn3Click() { record(Origin::panel()); }
void TransportPanel::BitBtn2Click() { stop(Origin::panel()); }
void TransportPanel::BitBtn5Click() { wind(Direction::Forward, Origin::panel()); }
void TransportPanel::BitBtn6Click() { wind(Direction::Reverse, Origin::panel()); }

void TransportPanel::play(const Origin& origin) { act(deck_.play(origin)); }
void TransportPanel::record(const Origin& origin) { act(deck_.record(origin)); }
void TransportPanel::stop(const Origin& origin) { act(deck_.stop(RadioGroup19->itemIndex() == 0, origin)); }

void TransportPanel::wind(Direction direction, const Origin& origin) {
    const int index = itemIndex(ComboBox3);
    if (index < 0) return;  // typed text that names no speed
    act(deck_.wind(direction, index, origin));
}

void TransportPanel::BitBtn10Click() { arrow(Direction::Forward); }
void TransportPanel::BitBtn9Click() { arrow(Direction::Reverse); }

void TransportPanel::arrow(Direction direction) {
    if (jogMode != 0) {
        act(deck_.jog(direction, Origin::panel()));
        return;
    }
    const int index = itemIndex(ComboBox4);
    if (index < 0) return;
    act(deck_.slow(direction, index, Origin::panel()));
}

void TransportPanel::BitBtn11Click() {
    if (jogMode == 0) jogMode = 1;
    showJogMode();
}

void TransportPanel::BitBtn4Click() {
    if (jogMode == 1) jogMode = 0;
    showJogMode();
}

// A click on the button already checked would uncheck it; the mode decides.
void TransportPanel::showJogMode() {
    BitBtn11->setChecked(jogMode == 1);
    BitBtn4->setChecked(jogMode == 0);
}

void TransportPanel::showRecording(bool recording) {
    if (BitBtn3->property("lit").toBool() == recording) return;
    BitBtn3->setProperty("lit", recording);
    BitBtn3->setIcon(glyphIcon(recording ? Glyph::RecordLit : Glyph::Record));
    BitBtn3->setStyleSheet(recording ? QStringLiteral("QPushButton { background-color: #d01010; border: 1px solid #600000; "
                                                      "border-radius: 3px; }")
                                     : QString());
}

void TransportPanel::RadioGroup18Click() {
    act(RadioGroup18->itemIndex() == 0 ? deck_.monitorEE(Origin::panel()) : deck_.monitorPB(Origin::panel()));
}

}  // namespace qz7
