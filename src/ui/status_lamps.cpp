#include "ui/status_lamps.h"

#include "net/link_monitor.h"
#include "ui/status_panel.h"

namespace qz7 {

namespace {
QString lampStyle(const char* background, const char* text) {
    return QStringLiteral("QLabel { background-color: %1; color: %2; padding: 1px 8px; font-weight: bold; }")
        .arg(QLatin1String(background), QLatin1String(text));
}
}  // namespace

LinkStateLamp::LinkStateLamp(LinkMonitor& monitor, StatusPanel& status, QWidget* parent)
    : QLabel(parent), monitor_(monitor), status_(status) {
    setObjectName(QStringLiteral("LinkState"));
    connect(&monitor_, &LinkMonitor::changed, this, &LinkStateLamp::showState);
    showState();
}

void LinkStateLamp::showState() {
    QString tip = QStringLiteral("Selected recorder: %1").arg(monitor_.address());
    if (!monitor_.sendError().isEmpty()) tip += QStringLiteral("\nSend error: ") + monitor_.sendError();
    setText(monitor_.lampText());
    setToolTip(tip);
    switch (monitor_.state()) {
    case LinkMonitor::State::Off: setStyleSheet(lampStyle("#606060", "#ffffff")); break;
    case LinkMonitor::State::Waiting: setStyleSheet(lampStyle("#e0a000", "#000000")); break;
    case LinkMonitor::State::Ok: setStyleSheet(lampStyle("#108010", "#ffffff")); break;
    case LinkMonitor::State::NoReply: setStyleSheet(lampStyle("#c01010", "#ffffff")); break;
    }
    status_.setLive(monitor_.valuesLive());
}

RecTally::RecTally(QWidget* parent) : QLabel(QStringLiteral("REC"), parent) {
    setObjectName(QStringLiteral("RecTally"));
    setAlignment(Qt::AlignCenter);
    setLit(false);
}

void RecTally::setLit(bool lit) {
    if (lit == lit_) return;
    lit_ = lit;
    setStyleSheet(lit ? lampStyle("#d01010", "#ffffff") : lampStyle("transparent", "#909090"));
    setToolTip(lit ? QStringLiteral("Recording") : QStringLiteral("Not recording"));
}

}  // namespace qz7
