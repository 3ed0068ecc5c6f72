#include "ui/status_panel.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>

#include "deck/deck.h"
#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {
void setIfChanged(QLabel* label, const QString& text) {
    if (label->text() != text) label->setText(text);
}
}  // namespace

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

StatusPanel::StatusPanel(Deck& deck, QWidget* parent) : QWidget(parent), deck_(deck) {
    setObjectName(QStringLiteral("Panel4"));
    setAutoFillBackground(true);

    QFont digits = font();
    digits.setBold(true);
    digits.setPixelSize(24);
    digits.setFamily(QStringLiteral("Monospace"));
    digits.setStyleHint(QFont::TypeWriter);

    auto tc = [&](const char* name) {
        QLabel* l = makeLabel(QString::fromLatin1(name), QStringLiteral("00"), this);
        l->setFont(digits);
        return l;
    };
    Label3 = tc("Label3");
    Label30 = tc("Label30");
    Label31 = tc("Label31");
    Label32 = tc("Label32");
    auto colon = [&](int i) {
        QLabel* l = makeLabel(QStringLiteral("LabelColon%1").arg(i), QStringLiteral(":"), this);
        l->setFont(digits);
        return l;
    };
    Label4 = makeLabel(QStringLiteral("Label4"), QStringLiteral("STOP"), this);
    Label37 = makeLabel(QStringLiteral("Label37"), QStringLiteral("REC FILE :"), this);
    Label40 = makeLabel(QStringLiteral("Label40"), QStringLiteral("001"), this);
    Label25 = makeLabel(QStringLiteral("Label25"), QString(), this);
    Label36 = new ClickableLabel(QString(), this);
    Label36->setObjectName(QStringLiteral("Label36"));
    Label36->setMinimumWidth(260);
    Label7 = makeLabel(QStringLiteral("Label7"), QStringLiteral("1080/59.94I"), this);
    Label11 = makeLabel(QStringLiteral("Label11"), QStringLiteral("HQ"), this);
    Label24 = makeLabel(QStringLiteral("Label24"), QStringLiteral("INT"), this);
    QFont word = font();
    word.setBold(true);
    word.setPixelSize(16);
    for (QLabel* l : {Label4, Label37, Label40, Label25, Label7, Label11, Label24}) l->setFont(word);
    Label36->setFont(word);

    auto* time = new QHBoxLayout;
    time->addWidget(Label3);
    time->addWidget(colon(1));
    time->addWidget(Label30);
    time->addWidget(colon(2));
    time->addWidget(Label31);
    time->addWidget(colon(3));
    time->addWidget(Label32);
    time->addSpacing(16);
    time->addWidget(Label4);
    time->addStretch();

    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(Label37);
    numberRow->addWidget(Label40);
    numberRow->addWidget(Label25);
    numberRow->addStretch();
    numberRow->addWidget(Label7);
    numberRow->addWidget(Label11);
    numberRow->addWidget(Label24);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(time);
    layout->addLayout(numberRow);
    layout->addWidget(Label36);

    paintColours();
    onSignal(Label36, &ClickableLabel::doubleClicked, this, &StatusPanel::Label36DblClick);
    connect(&deck_, &Deck::timecodeChanged, this, &StatusPanel::showTimecode);
    connect(&deck_, &Deck::statusChanged, this, &StatusPanel::showStatus);
    connect(&deck_, &Deck::errorLineChanged, this, &StatusPanel::showErrorLine);
}

void StatusPanel::setLive(bool live) {
    if (live == live_) return;
    live_ = live;
    paintColours();
}

// Light aqua values and a fuchsia error line on black; dimmed to a third.
void StatusPanel::paintColours() {
    const auto shade = [this](QColor c) { return live_ ? c : QColor(c.red() / 3, c.green() / 3, c.blue() / 3); };
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, shade(QColor(0x80, 0xFF, 0xFF)));
    setPalette(pal);
    QPalette errPal = Label36->palette();
    errPal.setColor(QPalette::WindowText, shade(QColor(0xFF, 0x00, 0xFF)));
    Label36->setPalette(errPal);
}

void StatusPanel::showTimecode() {
    const Timecode& tc = deck_.status().timecode;
    setIfChanged(Label32, fromBytes(tc.frames));
    setIfChanged(Label31, fromBytes(tc.seconds));
    setIfChanged(Label30, fromBytes(tc.minutes));
    setIfChanged(Label3, fromBytes(tc.hours));
}

void StatusPanel::showStatus() {
    const DeckStatus& s = deck_.status();
    setIfChanged(Label4, fromBytes(s.transport));
    setIfChanged(Label24, fromBytes(s.reference));
    setIfChanged(Label7, fromBytes(s.standard));
    setIfChanged(Label11, fromBytes(s.quality));
    setIfChanged(Label37, fromBytes(s.number.caption));
    setIfChanged(Label40, fromBytes(s.number.number));
    setIfChanged(Label25, fromBytes(s.number.marker));
}

void StatusPanel::showErrorLine() { setIfChanged(Label36, fromBytes(deck_.status().errorLine)); }

void StatusPanel::Label36DblClick() {
    if (deck_.status().errorLatch) deck_.errorReset(Origin::panel());
}

}  // namespace qz7
