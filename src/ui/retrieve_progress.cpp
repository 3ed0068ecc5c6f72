#include "ui/retrieve_progress.h"

#include <cmath>

#include "deck/deck.h"

namespace qz7 {

RetrieveProgress::RetrieveProgress(Deck& deck, QWidget* parent) : QProgressBar(parent), deck_(deck) {
    setObjectName(QStringLiteral("RetrieveProgress"));
    setTextVisible(true);
    setMinimumWidth(260);
    setVisible(false);
    connect(&deck_, &Deck::retrieveProgressChanged, this, &RetrieveProgress::showProgress);
}

bool RetrieveProgress::running() const { return deck_.retrieveProgress().running; }

void RetrieveProgress::showProgress() {
    const RetrieveProgressState& p = deck_.retrieveProgress();
    if (!p.running) {
        setVisible(false);
        return;
    }
    // The nominal pace until there is enough of a measured one: a silent
    // recorder stretches each tick to the 33 ms reply wait.
    const int left = p.total - p.sent;
    const double msPerRequest =
        p.sent >= 10 && p.elapsedMs >= 2000 ? static_cast<double>(p.elapsedMs) / p.sent : kNominalMsPerRequest;
    const int secondsLeft = static_cast<int>(std::ceil(left * msPerRequest / 1000.0));
    setRange(0, p.total);
    setValue(p.sent);
    setFormat(QStringLiteral("Retrieve %1/%2, %3 s left").arg(p.sent).arg(p.total).arg(secondsLeft));
    setVisible(true);
}

}  // namespace qz7
