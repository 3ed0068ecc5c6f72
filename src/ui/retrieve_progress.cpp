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
    if (p.incomplete) {
        // Stays until the next "Retrieve" or "Apply": holes in a list must not pass unseen.
        setRange(0, 1);
        setValue(1);
        setFormat(QStringLiteral("Retrieve incomplete: %1 did not answer").arg(p.missing));
        setToolTip(QString::fromStdString(p.missingText));
        setVisible(true);
        return;
    }
    setToolTip(QString());
    if (!p.running) {
        setVisible(false);
        return;
    }
    if (p.sent == p.total && p.total > 0) {
        setRange(0, p.total);
        setValue(p.total);
        setFormat(p.pass == 0 ? QStringLiteral("Retrieve: waiting for the last answers")
                              : QStringLiteral("Retrieve again (%1): waiting for the last answers").arg(p.pass));
        setVisible(true);
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
    const QString what = p.pass == 0 ? QStringLiteral("Retrieve") : QStringLiteral("Retrieve again (%1)").arg(p.pass);
    setFormat(QStringLiteral("%1 %2/%3, %4 s left").arg(what).arg(p.sent).arg(p.total).arg(secondsLeft));
    setVisible(true);
}

}  // namespace qz7
