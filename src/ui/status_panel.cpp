#include "ui/status_panel.h"

#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>

#include "link/commands.h"
#include "link/status_text.h"
#include "net/recorder_link.h"
#include "media/media_tables.h"
#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {
// Texts carry their trailing blanks, as the panel has always shown them.
const char* const kStandards[16][2] = {
    {"1080/59.94I   ", "1080/60I     "}, {"1080/50I      ", "1080/50I     "},
    {"1080/25P      ", "1080/25P     "}, {"1080/23.98PSF ", "1080/24PSF   "},
    {"1080/23.98P   ", "1080/24P     "}, {"720/59.94P    ", "720/60P      "},
    {"720/50P       ", "720/50P      "}, {"720/29.97P    ", "720/30P      "},
    {"720/25P       ", "720/25P      "}, {"720/23.98P    ", "720/24P      "},
    {"1080/29.97PSF ", "1080/30PSF   "}, {"1080/24.98PSF ", "1080/25PSF   "},
    {"UNKNOWN       ", "UNKNOWN      "}, {"UNKNOWN       ", "UNKNOWN      "},
    {"UNKNOWN       ", "UNKNOWN      "}, {"UNKNOWN       ", "UNKNOWN      "},
};
const char* const kQualities[8] = {"HQ      ", "LP1     ", "LP2     ", "LOSSLESS",
                                   "LP3     ", "EHQ     ", "LP4     ", "LOCAL   "};

void setIfChanged(QLabel* label, const QString& text) {
    if (label->text() != text) label->setText(text);
}

}  // namespace

QString standardText(std::uint8_t b) { return QString::fromLatin1(kStandards[b & 0x0F][(b >> 4) & 0x01]); }
QString qualityText(std::uint8_t b) { return QString::fromLatin1(kQualities[b & 0x07]); }

void ClickableLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    emit doubleClicked();
}

StatusPanel::StatusPanel(RecorderLink& link, QWidget* parent) : QWidget(parent), link_(link) {
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

std::string StatusPanel::hours() const { return toBytes(Label3->text()); }
std::string StatusPanel::minutes() const { return toBytes(Label30->text()); }
std::string StatusPanel::seconds() const { return toBytes(Label31->text()); }
std::string StatusPanel::frames() const { return toBytes(Label32->text()); }

void StatusPanel::applyTimecode(std::uint8_t frames, std::uint8_t seconds, std::uint8_t minutes, std::uint8_t hours) {
    setIfChanged(Label32, QString::fromStdString(bcdText(frames & 0x3F)));
    setIfChanged(Label31, QString::fromStdString(bcdText(seconds & 0x7F)));
    setIfChanged(Label30, QString::fromStdString(bcdText(minutes & 0x7F)));
    setIfChanged(Label3, QString::fromStdString(bcdText(hours & 0x3F)));
}

void StatusPanel::applyStatus(const StatusReply& s) {
    // 1. Transport word; no bit set leaves the last one.
    const QString oldWord = Label4->text();
    if (const std::string word = transportWord(s); !word.empty()) Label4->setText(QString::fromStdString(word));
    if (Label4->text() != oldWord) emit transportWordChanged(Label4->text());

    // 2. Reference word; 0x00 leaves it.
    switch (s.reference & 0x0C) {
    case 0x04: Label24->setText(QStringLiteral("EXT")); break;
    case 0x08: Label24->setText(QStringLiteral("INPUT")); break;
    case 0x0C: Label24->setText(QStringLiteral("INT")); break;
    default: break;
    }

    // 3, 4. Standard and quality.
    Label7->setText(standardText(s.standard));
    Label11->setText(qualityText(s.quality));

    // 5. Error latch: one error text request per rising flag.
    const bool error = (s.quality & 0x20) != 0;
    if (error && errorLatch == 0) {
        errorLatch = 1;
        link_.queue(cmd::errorTextRequest());
    } else if (!error && errorLatch == 1) {
        errorLatch = 0;
        Label36->setText(QStringLiteral(" "));
    }

    // 6. Audio read-back, once after the Audio page was entered.
    if (audioReadbackPending == 1) {
        emit audioReadback(s.audio);
        audioReadbackPending = 0;
    }

    // 7, 8. Number line: clip mode or file mode; a sequence in play overrides both.
    const NumberLine line = numberLine(s);
    Label37->setText(QString::fromStdString(line.caption));
    Label40->setText(QString::fromStdString(line.number));
    Label25->setText(QString::fromStdString(line.marker));
}

void StatusPanel::applyErrorText(const std::string& text) {
    Label36->setText(QStringLiteral("ERR : ") + fromBytes(text));
}

void StatusPanel::Label36DblClick() {
    if (errorLatch != 0) link_.queue(cmd::errorReset());
}

}  // namespace qz7
