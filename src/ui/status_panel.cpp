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
    hoursLabel = tc("Label3");
    minutesLabel = tc("Label30");
    secondsLabel = tc("Label31");
    framesLabel = tc("Label32");
    auto colon = [&](int i) {
        QLabel* l = makeLabel(QStringLiteral("LabelColon%1").arg(i), QStringLiteral(":"), this);
        l->setFont(digits);
        return l;
    };
    transportLabel = makeLabel(QStringLiteral("Label4"), QStringLiteral("STOP"), this);
    numberCaptionLabel = makeLabel(QStringLiteral("Label37"), QStringLiteral("REC FILE :"), this);
    numberLabel = makeLabel(QStringLiteral("Label40"), QStringLiteral("001"), this);
    numberMarkerLabel = makeLabel(QStringLiteral("Label25"), QString(), this);
    errorLineLabel = new ClickableLabel(QString(), this);
    errorLineLabel->setObjectName(QStringLiteral("Label36"));
    errorLineLabel->setMinimumWidth(260);
    standardLabel = makeLabel(QStringLiteral("Label7"), QStringLiteral("1080/59.94I"), this);
    qualityLabel = makeLabel(QStringLiteral("Label11"), QStringLiteral("HQ"), this);
    referenceLabel = makeLabel(QStringLiteral("Label24"), QStringLiteral("INT"), this);
    QFont word = font();
    word.setBold(true);
    word.setPixelSize(16);
    for (QLabel* l : {transportLabel, numberCaptionLabel, numberLabel, numberMarkerLabel, standardLabel, qualityLabel, referenceLabel}) l->setFont(word);
    errorLineLabel->setFont(word);

    auto* time = new QHBoxLayout;
    time->addWidget(hoursLabel);
    time->addWidget(colon(1));
    time->addWidget(minutesLabel);
    time->addWidget(colon(2));
    time->addWidget(secondsLabel);
    time->addWidget(colon(3));
    time->addWidget(framesLabel);
    time->addSpacing(16);
    time->addWidget(transportLabel);
    time->addStretch();

    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(numberCaptionLabel);
    numberRow->addWidget(numberLabel);
    numberRow->addWidget(numberMarkerLabel);
    numberRow->addStretch();
    numberRow->addWidget(standardLabel);
    numberRow->addWidget(qualityLabel);
    numberRow->addWidget(referenceLabel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(time);
    layout->addLayout(numberRow);
    layout->addWidget(errorLineLabel);

    paintColours();
    onSignal(errorLineLabel, &ClickableLabel::doubleClicked, this, &StatusPanel::resetError);
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
    QPalette errPal = errorLineLabel->palette();
    errPal.setColor(QPalette::WindowText, shade(QColor(0xFF, 0x00, 0xFF)));
    errorLineLabel->setPalette(errPal);
}

void StatusPanel::showTimecode() {
    const Timecode& tc = deck_.status().timecode;
    setIfChanged(framesLabel, fromBytes(tc.frames));
    setIfChanged(secondsLabel, fromBytes(tc.seconds));
    setIfChanged(minutesLabel, fromBytes(tc.minutes));
    setIfChanged(hoursLabel, fromBytes(tc.hours));
}

void StatusPanel::showStatus() {
    const DeckStatus& s = deck_.status();
    setIfChanged(transportLabel, fromBytes(s.transport));
    setIfChanged(referenceLabel, fromBytes(s.reference));
    setIfChanged(standardLabel, fromBytes(s.standard));
    setIfChanged(qualityLabel, fromBytes(s.quality));
    setIfChanged(numberCaptionLabel, fromBytes(s.number.caption));
    setIfChanged(numberLabel, fromBytes(s.number.number));
    setIfChanged(numberMarkerLabel, fromBytes(s.number.marker));
}

void StatusPanel::showErrorLine() { setIfChanged(errorLineLabel, fromBytes(deck_.status().errorLine)); }

void StatusPanel::resetError() {
    if (deck_.status().errorLatch) deck_.errorReset(Origin::panel());
}

}  // namespace qz7
