#include "ui/status_notices.h"

#include <QStatusBar>

#include "deck/deck.h"
#include "deck/deck_view.h"
#include "log/event_sentence.h"
#include "ui/device_page.h"
#include "ui/handler.h"

namespace qz7 {

namespace {
bool fromPanel(const Origin& origin) { return origin.kind == Origin::Kind::Panel || origin.kind == Origin::Kind::Key; }

QPushButton* flatButton(const char* name, QWidget* parent) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setFlat(true);
    // The function keys stay with the transport, whatever was clicked last.
    b->setFocusPolicy(Qt::NoFocus);
    b->setCursor(Qt::PointingHandCursor);
    b->hide();
    return b;
}
}  // namespace

StatusNotices::StatusNotices(Deck& deck, DevicePage& devicePage, QStatusBar& bar)
    : QObject(&bar), deck_(deck), devicePage_(devicePage) {
    message_ = new QLabel(&bar);
    message_->setObjectName(QStringLiteral("StatusMessage"));
    message_->setStyleSheet(QStringLiteral("QLabel { color: #a03000; font-weight: bold; padding: 0 6px; }"));
    // A long message is cut, never widening the window past the screen.
    message_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    messageTimer_.setSingleShot(true);
    messageTimer_.setInterval(kMessageMs);
    connect(&messageTimer_, &QTimer::timeout, message_, &QLabel::clear);

    alarm_ = flatButton("AlarmField", &bar);
    alarm_->setStyleSheet(QStringLiteral(
        "QPushButton { background-color: #d01010; color: #ffffff; font-weight: bold; padding: 1px 8px; border: none; }"));
    alarm_->setMaximumWidth(alarm_->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 48);

    staleHint_ = flatButton("ListsStaleHint", &bar);
    staleHint_->setText(QStringLiteral("Lists may be out of date: Retrieve"));
    staleHint_->setStyleSheet(QStringLiteral("QPushButton { color: #204080; text-decoration: underline; border: none; }"));
    staleHint_->setToolTip(QStringLiteral("The recorder was silent for a while; what it changed meanwhile is not in "
                                          "the lists. Click to read them again."));

    bar.addWidget(alarm_);
    bar.addWidget(message_, 1);
    bar.addPermanentWidget(staleHint_);

    connect(&deck_, &Deck::outcomeReported, this, &StatusNotices::onOutcome);
    connect(&deck_, &Deck::operated, this, [this](const Origin& origin, const QString& op, const Outcome& outcome) {
        // A silent recorder: said here, not in a box, so that the operator
        // can press on; the other refusals stay as quiet as they were.
        if (fromPanel(origin) && outcome.refusal.rfind("no reply from", 0) == 0)
            say(operationWord(op) + QStringLiteral(" refused: ") + QString::fromStdString(outcome.refusal));
    });

    // The view tells a raised alarm and an acknowledgement alike.
    connect(&deck_.view(), &DeckView::changed, this, [this](ViewState::Fields fields) {
        if (fields & ViewState::Alarm) showAlarm(QString::fromStdString(deck_.alarm()));
    });
    onSignal(alarm_, &QPushButton::clicked, this, [this] { act(deck_.acknowledgeAlarm(Origin::panel())); });

    connect(&deck_.monitor(), &LinkMonitor::changed, this, &StatusNotices::onLinkChanged);
    lastLink_ = deck_.monitor().state();
    connect(&devicePage_, &DevicePage::retrieveQueued, this, [this] { retrieved_ = true; });
    // Any Retrieve, from here or a remote, reads the lists again.
    connect(&deck_, &Deck::retrieveProgressChanged, this, [this] {
        if (deck_.retrieveProgress().running) staleHint_->hide();
    });
    // Stays while the Retrieve is refused: the lists are still as they were.
    onSignal(staleHint_, &QPushButton::clicked, this, [this] { devicePage_.retrieve(); });
}

void StatusNotices::say(const QString& text) {
    message_->setText(text);
    messageTimer_.start();
}

// The panel names what the recorder did not do; a command taken off the
// stack (superseded) is in the log, not here.
void StatusNotices::onOutcome(const OutcomeReport& r) {
    if (!r.final || r.stage != OutcomeReport::Stage::NotConfirmed) return;
    QString text = outcomePhrase(QString::fromStdString(r.op), QString::fromLatin1(r.word()),
                                 QString::fromStdString(r.transport), QString::fromStdString(r.note));
    if (!fromPanel(r.origin)) text += QStringLiteral(" (%1)").arg(QString::fromStdString(r.origin.text()));
    say(text);
}

void StatusNotices::showAlarm(const QString& text) {
    const QString whole = QStringLiteral("ALARM  ") + text;
    alarm_->setText(alarm_->fontMetrics().elidedText(whole, Qt::ElideRight, alarm_->maximumWidth() - 20));
    alarm_->setToolTip(whole + QStringLiteral("\nClick to acknowledge (logged as the panel's)"));
    alarm_->setVisible(!text.isEmpty());
}

void StatusNotices::onLinkChanged() {
    const LinkMonitor::State state = deck_.monitor().state();
    if (state == LinkMonitor::State::Waiting || state == lastLink_) return;
    const bool back = lastLink_ == LinkMonitor::State::NoReply && state == LinkMonitor::State::Ok;
    lastLink_ = state;
    if (back && retrieved_) staleHint_->show();
}

}  // namespace qz7
