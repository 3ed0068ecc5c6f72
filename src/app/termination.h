// SIGINT and SIGTERM end the program as closing its window does: the event
// loop returns and everything is torn down in order, exit status 0. A desktop
// logout or `systemctl stop` must not kill the panel mid-tick.
#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace qz7 {

class TerminationWatch : public QObject {
    Q_OBJECT
public:
    explicit TerminationWatch(QObject* parent = nullptr);
    ~TerminationWatch() override;

    // False when the signals could not be watched (the program runs on).
    bool watching() const { return notifier_ != nullptr; }

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace qz7
