// What the status bar says besides its lamps, none of it in a box:
// - StatusMessage: for a few seconds, an operation the recorder did not
//   carry out ("REC not confirmed: recorder shows STOP"), or one of the
//   panel's refused because the recorder is silent.
// - AlarmField: the deck's alarm in red until someone acknowledges it; a
//   click acknowledges it from the panel.
// - ListsStaleHint: after the link came back from NO REPLY the lists may be
//   out of date; a click runs "Retrieve", and any Retrieve clears it.
#pragma once

#include <QLabel>
#include <QObject>
#include <QPushButton>
#include <QTimer>

#include "net/link_monitor.h"

class QStatusBar;

namespace qz7 {

class Deck;
class DevicePage;
struct OutcomeReport;

class StatusNotices : public QObject {
    Q_OBJECT
public:
    // How long a message stays.
    static constexpr int kMessageMs = 5000;

    StatusNotices(Deck& deck, DevicePage& devicePage, QStatusBar& bar);

    QLabel* message() const { return message_; }
    QPushButton* alarmField() const { return alarm_; }
    QPushButton* listsStaleHint() const { return staleHint_; }

    void say(const QString& text);

private:
    void onOutcome(const OutcomeReport& report);
    void showAlarm(const QString& text);
    void onLinkChanged();

    Deck& deck_;
    DevicePage& devicePage_;
    QLabel* message_;
    QTimer messageTimer_;
    QPushButton* alarm_;
    QPushButton* staleHint_;
    // The last of OK, NO REPLY and OFF the link showed (waiting is no change).
    LinkMonitor::State lastLink_ = LinkMonitor::State::Off;
    bool retrieved_ = false;  // the lists were filled by a Retrieve: they can go stale
};

}  // namespace qz7
