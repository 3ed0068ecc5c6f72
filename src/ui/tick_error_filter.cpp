#include "ui/tick_error_filter.h"

#include "net/recorder_link.h"
#include "ui/error_box.h"

namespace qz7 {

TickErrorFilter::TickErrorFilter(RecorderLink& link, QObject* parent) : QObject(parent), link_(link) {
    connect(&link_, &RecorderLink::linkEnabledChanged, this, [this] { raised_.clear(); });
}

void TickErrorFilter::report(const QString& message) {
    // Errors come only from ticks, so a turn skipped since the last one was a
    // tick that raised nothing.
    const std::uint64_t turn = link_.pollCycle().turns();
    if (turn > lastTurn_ + 1) raised_.clear();
    lastTurn_ = turn;
    if (raised_.contains(message)) return;
    raised_.insert(message);
    ErrorBox::show(message);
}

}  // namespace qz7
