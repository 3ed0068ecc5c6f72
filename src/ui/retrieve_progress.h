// The "Retrieve" progress bar (RetrieveProgress) in the main window's status
// bar. A refresh of a full recorder is over a thousand requests and takes
// most of a minute; the bar shows how far the deck's burst got.
#pragma once

#include <QProgressBar>

namespace qz7 {

class Deck;

class RetrieveProgress : public QProgressBar {
    Q_OBJECT
public:
    // Two ticks of 20 ms per request: one for the command, one for the status
    // request between commands.
    static constexpr int kNominalMsPerRequest = 40;

    RetrieveProgress(Deck& deck, QWidget* parent);

    bool running() const;

public slots:
    void showProgress();

private:
    Deck& deck_;
};

}  // namespace qz7
