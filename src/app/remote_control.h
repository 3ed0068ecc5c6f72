// Remote control as the program runs it: the OSC endpoint obeying through a
// RemoteSession on the panel's own link and media model, with every change of
// the recorder's state and of the link published to the subscribers.
#pragma once

#include <QObject>
#include <memory>

#include "app/options.h"

namespace qz7 {

class LinkMonitor;
class MediaModel;
class OscServer;
class RecorderLink;
class RemoteSession;

class RemoteControl : public QObject {
    Q_OBJECT
public:
    // requestErrorTexts: true without a window (the status panel asks otherwise).
    RemoteControl(RecorderLink& link, MediaModel& media, const RemoteOptions& options, bool requestErrorTexts,
                  QObject* parent = nullptr);
    ~RemoteControl() override;

    // Binds the OSC socket; false with the reason when it cannot.
    bool start(QString* error);

    RemoteSession& session() { return *session_; }
    OscServer& server() { return *server_; }
    LinkMonitor& monitor() { return *monitor_; }

private:
    std::unique_ptr<LinkMonitor> monitor_;
    std::unique_ptr<RemoteSession> session_;
    std::unique_ptr<OscServer> server_;
};

}  // namespace qz7
