// The "Retrieve" progress bar (RetrieveProgress) in the main window's status
// bar. A refresh of a full recorder is over a thousand requests and takes
// most of a minute; the bar shows how far it got and keeps "Retrieve" off
// until it is done, so a second press cannot double the burst.
#pragma once

#include <QElapsedTimer>
#include <QProgressBar>

class QPushButton;
class QTimer;

namespace qz7 {

class CommandStack;

class RetrieveProgress : public QProgressBar {
    Q_OBJECT
public:
    // Two ticks of 20 ms per request: one for the command, one for the status
    // request between commands.
    static constexpr int kNominalMsPerRequest = 40;
    static constexpr int kRefreshMs = 100;

    RetrieveProgress(CommandStack& stack, QPushButton* retrieveButton, QWidget* parent);

    // A burst now sits on the stack from slot `bottom` up to below `top`.
    void track(int bottom, int top);
    // "Apply": the burst is no longer watched and "Retrieve" may go again.
    void cancel();
    bool running() const { return top_ > bottom_; }

public slots:
    void refresh();

private:
    void finish();

    CommandStack& stack_;
    QPushButton* button_;
    QTimer* timer_;
    QElapsedTimer elapsed_;
    int bottom_ = 0;
    int top_ = 0;
    int lowest_ = 0;  // the lowest stack count seen since the burst was queued
};

}  // namespace qz7
