// The rack's signals as events on its loop: SIGINT and SIGTERM end it as
// `systemctl stop` expects (status 0, every deck shut down in order), SIGHUP
// asks for a reload.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace qz7 {

class SignalWatch : public QObject {
    Q_OBJECT
public:
    explicit SignalWatch(QObject* parent = nullptr);
    ~SignalWatch() override;
    bool watching() const { return notifier_ != nullptr; }

signals:
    void terminate();
    void reload();

private:
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace qz7
