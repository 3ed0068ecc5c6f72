#include "ui/clip_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <stdexcept>

#include "deck/deck.h"
#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {

void setFields(const std::array<QLineEdit*, 4>& fields, const Timecode& tc) {
    fields[0]->setText(fromBytes(tc.hours));
    fields[1]->setText(fromBytes(tc.minutes));
    fields[2]->setText(fromBytes(tc.seconds));
    fields[3]->setText(fromBytes(tc.frames));
}

// A half-typed field would go out as a byte that is not BCD.
std::string twoDigits(const QLineEdit* field, const char* what) {
    const QString text = maskedText(field);
    if (!isTwoDigits(text))
        throw std::invalid_argument(
            QStringLiteral("The %1 needs two digits in every field: '%2'").arg(QLatin1String(what), text).toStdString());
    return toBytes(text);
}

Timecode fieldsPosition(const std::array<QLineEdit*, 4>& fields, const char* what) {
    return Timecode{twoDigits(fields[0], what), twoDigits(fields[1], what), twoDigits(fields[2], what),
                    twoDigits(fields[3], what)};
}

}  // namespace

ClipPage::ClipPage(Deck& deck, QWidget* parent) : QWidget(parent), deck_(deck) {
    setObjectName(QStringLiteral("TabSheet7"));
    clipNumberEdit = makeMaskedEdit(QStringLiteral("MaskEdit16"), QStringLiteral("000;_"), QStringLiteral("000"), this);
    clipNameEdit = makeNameEdit(QStringLiteral("LabeledEdit2"), this);
    clipNameEdit->setText(QString(32, QLatin1Char(' ')));
    clipNameEdit->setMinimumWidth(260);
    auto field = [this](const char* name) {
        QLineEdit* e = makeMaskedEdit(QString::fromLatin1(name), QStringLiteral("00;_"), QStringLiteral("00"), this);
        e->setMaximumWidth(40);
        return e;
    };
    startHoursEdit = field("MaskEdit2");
    startMinutesEdit = field("MaskEdit3");
    startSecondsEdit = field("MaskEdit4");
    startFramesEdit = field("MaskEdit5");
    stopHoursEdit = field("MaskEdit6");
    stopMinutesEdit = field("MaskEdit7");
    stopSecondsEdit = field("MaskEdit8");
    stopFramesEdit = field("MaskEdit9");
    inButton = makeButton(QStringLiteral("BitBtn13"), QStringLiteral("IN"), this);
    outButton = makeButton(QStringLiteral("BitBtn16"), QStringLiteral("OUT"), this);
    saveClipButton = makeButton(QStringLiteral("BitBtn27"), QStringLiteral("SAVE"), this);
    deleteClipButton = makeButton(QStringLiteral("BitBtn28"), QStringLiteral("DEL"), this);

    int separator = 0;
    auto positionRow = [&](const std::array<QLineEdit*, 4>& fields, QPushButton* button) {
        auto* row = new QHBoxLayout;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0)
                row->addWidget(makeLabel(QStringLiteral("LabelClipColon%1").arg(++separator), QStringLiteral("："), this));
            row->addWidget(fields[i]);
        }
        row->addWidget(button);
        row->addStretch();
        return row;
    };

    auto* grid = new QGridLayout;
    grid->addWidget(makeLabel(QStringLiteral("Label_ClipNo"), QStringLiteral("Clip No."), this), 0, 0);
    auto* number = new QHBoxLayout;
    clipNumberEdit->setMaximumWidth(52);
    number->addWidget(clipNumberEdit);
    number->addStretch();
    grid->addLayout(number, 0, 1);
    grid->addWidget(makeLabel(QStringLiteral("LabeledEdit2Label"), QStringLiteral("Clip name"), this), 1, 0);
    grid->addWidget(clipNameEdit, 1, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label_Start"), QStringLiteral("Start position"), this), 2, 0);
    grid->addLayout(positionRow(startFields(), inButton), 2, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label_Stop"), QStringLiteral("Stop position"), this), 3, 0);
    grid->addLayout(positionRow(stopFields(), outButton), 3, 1);
    auto* actions = new QHBoxLayout;
    actions->addWidget(saveClipButton);
    actions->addWidget(deleteClipButton);
    actions->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(actions);
    layout->addStretch();

    onSignal(inButton, &QPushButton::clicked, this, &ClipPage::markIn);
    onSignal(outButton, &QPushButton::clicked, this, &ClipPage::markOut);
    onSignal(saveClipButton, &QPushButton::clicked, this, &ClipPage::saveClip);
    onSignal(deleteClipButton, &QPushButton::clicked, this, &ClipPage::deleteClip);
}

void ClipPage::showClip(int k) {
    const ClipEntry& clip = deck_.media().clip(k);
    clipNumberEdit->setText(QString::asprintf("%03d", k));
    setFields(startFields(), clip.in);
    setFields(stopFields(), clip.out);
    clipNameEdit->setText(fromBytes(clip.name));
}

void ClipPage::copyTimecodeInto(const std::array<QLineEdit*, 4>& fields) {
    setFields(fields, deck_.status().timecode);
}

void ClipPage::markIn() { copyTimecodeInto(startFields()); }
void ClipPage::markOut() { copyTimecodeInto(stopFields()); }

int ClipPage::clipNumber() const {
    const int k = toInteger(maskedText(clipNumberEdit));
    if (k < 0 || k >= kTableSize)
        throw std::out_of_range(
            QStringLiteral("Clip No. %1 is outside the clip table (000 to %2)").arg(k).arg(kTableSize - 1).toStdString());
    return k;
}

void ClipPage::saveClip() {
    const int k = clipNumber();
    ClipEntry edited;
    edited.in = fieldsPosition(startFields(), "start position");
    edited.out = fieldsPosition(stopFields(), "stop position");
    edited.name = toBytes(clipNameEdit->text());
    act(deck_.saveClip(k, edited, Origin::panel()));
}

void ClipPage::deleteClip() {
    const int k = clipNumber();
    for (QLineEdit* f : startFields()) f->setText(QStringLiteral("00"));
    for (QLineEdit* f : stopFields()) f->setText(QStringLiteral("00"));
    clipNameEdit->setText(QStringLiteral(" "));
    act(deck_.deleteClip(k, Origin::panel()));
}

}  // namespace qz7
