// The lamps in the main window's status bar. LinkState shows what the link
// monitor says, in words and colour, with the last send error, and dims the
// status panel while its values are not live. RecTally lights while recording.
#pragma once

#include <QLabel>

namespace qz7 {

class LinkMonitor;
class StatusPanel;

class LinkStateLamp : public QLabel {
    Q_OBJECT
public:
    LinkStateLamp(LinkMonitor& monitor, StatusPanel& status, QWidget* parent);

    void showState();

private:
    LinkMonitor& monitor_;
    StatusPanel& status_;
};

// The REC tally (RecTally) beside it: lit red while the recorder records.
class RecTally : public QLabel {
    Q_OBJECT
public:
    explicit RecTally(QWidget* parent);

    void setLit(bool lit);
    bool isLit() const { return lit_; }

private:
    bool lit_ = true;
};

}  // namespace qz7
