#include "ui/retrieve_progress.h"

#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "link/command_stack.h"

namespace qz7 {

RetrieveProgress::RetrieveProgress(CommandStack& stack, QPushButton* retrieveButton, QWidget* parent)
    : QProgressBar(parent), stack_(stack), button_(retrieveButton), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("RetrieveProgress"));
    setTextVisible(true);
    setMinimumWidth(260);
    setVisible(false);
    timer_->setInterval(kRefreshMs);
    connect(timer_, &QTimer::timeout, this, &RetrieveProgress::refresh);
}

void RetrieveProgress::track(int bottom, int top) {
    bottom_ = bottom;
    top_ = top;
    lowest_ = top;
    if (!running()) return;
    elapsed_.start();
    button_->setEnabled(false);
    setRange(0, top_ - bottom_);
    setVisible(true);
    timer_->start();
    refresh();
}

void RetrieveProgress::cancel() {
    if (running()) finish();
}

void RetrieveProgress::refresh() {
    if (!running()) return;
    // Commands queued after the burst sit above it and go first (last in,
    // first out); the burst shrinks only when the stack falls below its top,
    // so the lowest count seen is what is left of it.
    lowest_ = std::min(lowest_, stack_.count());
    if (lowest_ <= bottom_) {
        finish();
        return;
    }
    const int total = top_ - bottom_;
    const int left = lowest_ - bottom_;
    const int sent = total - left;
    // The nominal pace until there is enough of a measured one: a silent
    // recorder stretches each tick to the 33 ms reply wait.
    const qint64 ms = elapsed_.elapsed();
    const double msPerRequest = sent >= 10 && ms >= 2000 ? static_cast<double>(ms) / sent : kNominalMsPerRequest;
    const int secondsLeft = static_cast<int>(std::ceil(left * msPerRequest / 1000.0));
    setValue(sent);
    setFormat(QStringLiteral("Retrieve %1/%2, %3 s left").arg(sent).arg(total).arg(secondsLeft));
}

void RetrieveProgress::finish() {
    timer_->stop();
    bottom_ = top_ = lowest_ = 0;
    setVisible(false);
    button_->setEnabled(true);
}

}  // namespace qz7
