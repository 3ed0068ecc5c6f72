#include "ui/video_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {
using Row = SheetRow<VideoSettings>;

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

QWidget* outputPhase(QWidget* sheet) {
    auto* phase = new QGroupBox(QStringLiteral("Output phase"), sheet);
    phase->setObjectName(QStringLiteral("GroupBoxOutputPhase"));
    auto* h = new QLineEdit(QStringLiteral("0"), phase);
    h->setObjectName(QStringLiteral("Edit17"));
    auto* hArrows = new UpDown(QStringLiteral("UpDown1"), 1, 1920, 960, phase);
    auto* v = new QLineEdit(QStringLiteral("0"), phase);
    v->setObjectName(QStringLiteral("Edit15"));
    auto* vArrows = new UpDown(QStringLiteral("UpDown2"), 1, 720, 360, phase);
    auto* layout = new QGridLayout(phase);
    layout->addWidget(makeLabel(QStringLiteral("LabelHPhase"), QStringLiteral("H phase"), phase), 0, 0);
    layout->addWidget(h, 0, 1);
    layout->addWidget(hArrows, 0, 2);
    layout->addWidget(makeLabel(QStringLiteral("LabelVPhase"), QStringLiteral("V phase"), phase), 1, 0);
    layout->addWidget(v, 1, 1);
    layout->addWidget(vArrows, 1, 2);
    return phase;
}

const std::vector<Row>& rows() {
    using T = VideoSettings;
    static const std::vector<Row> table{
        Row::radio(QStringLiteral("RadioGroup14"), QStringLiteral("Compression Quality"),
                   {QStringLiteral("High quality"), QStringLiteral("Long play 1"), QStringLiteral("Long play 2"),
                    QStringLiteral("Lossless")},
                   0, &T::quality, T::Quality, {0, 0, Qt::AlignTop}),
        Row::radio(QStringLiteral("RadioGroup15"), QStringLiteral("ANC"), {QStringLiteral("OFF"), QStringLiteral("ON")}, 0,
                   &T::anc, T::Anc, {1, 0, Qt::AlignTop}),
        Row::button(QStringLiteral("Button11"), QStringLiteral("SET"), {2, 0, Qt::AlignBottom}),
        Row::group(QStringLiteral("GroupBoxOutputPhase"), outputPhase, {3, 0, Qt::AlignTop}),
    };
    return table;
}
}  // namespace

VideoPage::VideoPage(Deck& deck, QWidget* parent)
    : SettingsSheet(deck, QStringLiteral("TabSheet5"), rows(), true, parent),
      qualityGroup(radio(QStringLiteral("RadioGroup14"))),
      ancGroup(radio(QStringLiteral("RadioGroup15"))),
      setButton(button(QStringLiteral("Button11"))),
      hPhaseEdit(field(QStringLiteral("Edit17"))),
      hPhaseArrows(findChild<QSpinBox*>(QStringLiteral("UpDown1"))),
      vPhaseEdit(field(QStringLiteral("Edit15"))),
      vPhaseArrows(findChild<QSpinBox*>(QStringLiteral("UpDown2"))) {
    onSignal(setButton, &QPushButton::clicked, this, &VideoPage::sendSettings);
}

// "SET": quality, then ANC; the recorder gets ANC first.
void VideoPage::sendSettings() { write(selected()); }

}  // namespace qz7
