#include "ui/handler.h"
#include "ui/video_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "deck/deck.h"
#include "link/commands.h"
#include "ui/radio_group.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {
// Bare up/down arrows: the position is kept but not shown.
class UpDown : public QSpinBox {
public:
    UpDown(const QString& name, int minimum, int maximum, int position, QWidget* parent) : QSpinBox(parent) {
        setObjectName(name);
        setRange(minimum, maximum);
        setValue(position);
        setWrapping(true);
        lineEdit()->hide();
        setFixedWidth(20);
    }
};
}  // namespace

VideoPage::VideoPage(Deck& deck, QWidget* parent) : QWidget(parent), deck_(deck) {
    setObjectName(QStringLiteral("TabSheet5"));

    RadioGroup14 = new RadioGroup(QStringLiteral("RadioGroup14"), QStringLiteral("Compression Quality"),
                                  {QStringLiteral("High quality"), QStringLiteral("Long play 1"),
                                   QStringLiteral("Long play 2"), QStringLiteral("Lossless")},
                                  0, this);
    RadioGroup15 = new RadioGroup(QStringLiteral("RadioGroup15"), QStringLiteral("ANC"),
                                  {QStringLiteral("OFF"), QStringLiteral("ON")}, 0, this);
    Button11 = makeButton(QStringLiteral("Button11"), QStringLiteral("SET"), this);

    auto* phase = new QGroupBox(QStringLiteral("Output phase"), this);
    phase->setObjectName(QStringLiteral("GroupBoxOutputPhase"));
    Edit17 = new QLineEdit(QStringLiteral("0"), phase);
    Edit17->setObjectName(QStringLiteral("Edit17"));
    UpDown1 = new UpDown(QStringLiteral("UpDown1"), 1, 1920, 960, phase);
    Edit15 = new QLineEdit(QStringLiteral("0"), phase);
    Edit15->setObjectName(QStringLiteral("Edit15"));
    UpDown2 = new UpDown(QStringLiteral("UpDown2"), 1, 720, 360, phase);
    auto* phaseLayout = new QGridLayout(phase);
    phaseLayout->addWidget(makeLabel(QStringLiteral("LabelHPhase"), QStringLiteral("H phase"), phase), 0, 0);
    phaseLayout->addWidget(Edit17, 0, 1);
    phaseLayout->addWidget(UpDown1, 0, 2);
    phaseLayout->addWidget(makeLabel(QStringLiteral("LabelVPhase"), QStringLiteral("V phase"), phase), 1, 0);
    phaseLayout->addWidget(Edit15, 1, 1);
    phaseLayout->addWidget(UpDown2, 1, 2);

    auto* groups = new QHBoxLayout;
    groups->addWidget(RadioGroup14, 0, Qt::AlignTop);
    groups->addWidget(RadioGroup15, 0, Qt::AlignTop);
    groups->addWidget(Button11, 0, Qt::AlignBottom);
    groups->addWidget(phase, 0, Qt::AlignTop);
    groups->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addStretch();

    onSignal(Button11, &QPushButton::clicked, this, &VideoPage::Button11Click);
}

// "SET": quality, then ANC; the recorder gets ANC first.
void VideoPage::Button11Click() {
    const auto quality = static_cast<std::uint8_t>(std::min(RadioGroup14->itemIndex(), 3));
    settingFallback(deck_, cmd::compressionQuality(quality));
    settingFallback(deck_, cmd::anc(static_cast<std::uint8_t>(RadioGroup15->itemIndex() == 1 ? 1 : 0)));
}


void VideoPage::applySettingsAnswer(std::uint8_t code, const QByteArray& d) {
    if (code == Sense::CompressionQuality) {
        const int quality = static_cast<std::uint8_t>(d[4]) & 0x07;
        RadioGroup14->setFromReply(quality > 3 ? 0 : quality);
    } else if (code == Sense::Anc) {
        RadioGroup15->setFromReply(static_cast<std::uint8_t>(d[4]) & 0x01);
    }
}

}  // namespace qz7
