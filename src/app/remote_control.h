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
    // The link state comes from the monitor the program already runs (the
    // window's lamp, or the headless log). requestErrorTexts: true without a
    // window (the status panel asks otherwise).
    RemoteControl(RecorderLink& link, MediaModel& media, LinkMonitor& monitor, const RemoteOptions& options,
                  bool requestErrorTexts, QObject* parent = nullptr);
    ~RemoteControl() override;

    // Binds the OSC socket; false with the reason when it cannot.
    bool start(QString* error);

private:
    LinkMonitor& monitor_;
    std::unique_ptr<RemoteSession> session_;
    std::unique_ptr<OscServer> server_;
};

}  // namespace qz7
