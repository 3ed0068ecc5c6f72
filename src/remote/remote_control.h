// Remote control as the program runs it: the OSC endpoint obeying through a
// RemoteSession on the deck, with every change of the recorder's state and of
// the link published to the subscribers.
#pragma once

#include <QObject>
#include <memory>

#include "remote/remote_options.h"

namespace qz7 {

class Deck;
class OscServer;
class RemoteSession;

class RemoteControl : public QObject {
    Q_OBJECT
public:
    RemoteControl(Deck& deck, const RemoteOptions& options, QObject* parent = nullptr);
    ~RemoteControl() override;

    // Binds the OSC socket; false with the reason when it cannot.
    bool start(QString* error);

private:
    Deck& deck_;
    std::unique_ptr<RemoteSession> session_;
    std::unique_ptr<OscServer> server_;
};

}  // namespace qz7
