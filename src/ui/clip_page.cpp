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
    MaskEdit16 = makeMaskedEdit(QStringLiteral("MaskEdit16"), QStringLiteral("000;_"), QStringLiteral("000"), this);
    LabeledEdit2 = makeNameEdit(QStringLiteral("LabeledEdit2"), this);
    LabeledEdit2->setText(QString(32, QLatin1Char(' ')));
    LabeledEdit2->setMinimumWidth(260);
    auto field = [this](const char* name) {
        QLineEdit* e = makeMaskedEdit(QString::fromLatin1(name), QStringLiteral("00;_"), QStringLiteral("00"), this);
        e->setMaximumWidth(40);
        return e;
    };
    MaskEdit2 = field("MaskEdit2");
    MaskEdit3 = field("MaskEdit3");
    MaskEdit4 = field("MaskEdit4");
    MaskEdit5 = field("MaskEdit5");
    MaskEdit6 = field("MaskEdit6");
    MaskEdit7 = field("MaskEdit7");
    MaskEdit8 = field("MaskEdit8");
    MaskEdit9 = field("MaskEdit9");
    BitBtn13 = makeButton(QStringLiteral("BitBtn13"), QStringLiteral("IN"), this);
    BitBtn16 = makeButton(QStringLiteral("BitBtn16"), QStringLiteral("OUT"), this);
    BitBtn27 = makeButton(QStringLiteral("BitBtn27"), QStringLiteral("SAVE"), this);
    BitBtn28 = makeButton(QStringLiteral("BitBtn28"), QStringLiteral("DEL"), this);

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
    MaskEdit16->setMaximumWidth(52);
    number->addWidget(MaskEdit16);
    number->addStretch();
    grid->addLayout(number, 0, 1);
    grid->addWidget(makeLabel(QStringLiteral("LabeledEdit2Label"), QStringLiteral("Clip name"), this), 1, 0);
    grid->addWidget(LabeledEdit2, 1, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label_Start"), QStringLiteral("Start position"), this), 2, 0);
    grid->addLayout(positionRow(startFields(), BitBtn13), 2, 1);
    grid->addWidget(makeLabel(QStringLiteral("Label_Stop"), QStringLiteral("Stop position"), this), 3, 0);
    grid->addLayout(positionRow(stopFields(), BitBtn16), 3, 1);
    auto* actions = new QHBoxLayout;
    actions->addWidget(BitBtn27);
    actions->addWidget(BitBtn28);
    actions->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(actions);
    layout->addStretch();

    onSignal(BitBtn13, &QPushButton::clicked, this, &ClipPage::BitBtn13Click);
    onSignal(BitBtn16, &QPushButton::clicked, this, &ClipPage::BitBtn16Click);
    onSignal(BitBtn27, &QPushButton::clicked, this, &ClipPage::BitBtn27Click);
    onSignal(BitBtn28, &QPushButton::clicked, this, &ClipPage::BitBtn28Click);
}

void ClipPage::showClip(int k) {
    const ClipEntry& clip = deck_.media().clip(k);
    MaskEdit16->setText(QString::asprintf("%03d", k));
    setFields(startFields(), clip.in);
    setFields(stopFields(), clip.out);
    LabeledEdit2->setText(fromBytes(clip.name));
}

void ClipPage::copyTimecodeInto(const std::array<QLineEdit*, 4>& fields) {
    setFields(fields, deck_.status().timecode);
}

void ClipPage::BitBtn13Click() { copyTimecodeInto(startFields()); }
void ClipPage::BitBtn16Click() { copyTimecodeInto(stopFields()); }

int ClipPage::clipNumber() const {
    const int k = toInteger(maskedText(MaskEdit16));
    if (k < 0 || k >= kTableSize)
        throw std::out_of_range(
            QStringLiteral("Clip No. %1 is outside the clip table (000 to %2)").arg(k).arg(kTableSize - 1).toStdString());
    return k;
}

void ClipPage::BitBtn27Click() {
    const int k = clipNumber();
    ClipEntry edited;
    edited.in = fieldsPosition(startFields(), "start position");
    edited.out = fieldsPosition(stopFields(), "stop position");
    edited.name = toBytes(LabeledEdit2->text());
    act(deck_.saveClip(k, edited, Origin::panel()));
}

void ClipPage::BitBtn28Click() {
    const int k = clipNumber();
    for (QLineEdit* f : startFields()) f->setText(QStringLiteral("00"));
    for (QLineEdit* f : stopFields()) f->setText(QStringLiteral("00"));
    LabeledEdit2->setText(QStringLiteral(" "));
    act(deck_.deleteClip(k, Origin::panel()));
}

}  // namespace qz7
