// Process signals as events on the loop. SIGINT and SIGTERM ask the program
// to end as closing its window or `systemctl stop` expects (the event loop
// returns, everything is torn down in order, status 0); SIGHUP, when the
// program reloads, asks for a reload and otherwise keeps its default.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace qz7 {

class SignalWatch : public QObject {
    Q_OBJECT
public:
    enum class Reload { No, OnSighup };
    explicit SignalWatch(Reload mode = Reload::No, QObject* parent = nullptr);
    ~SignalWatch() override;
    bool watching() const { return notifier_ != nullptr; }

signals:
    void terminate();
    void reload();

private:
    QSocketNotifier* notifier_ = nullptr;
    bool reload_ = false;
};

}  // namespace qz7
