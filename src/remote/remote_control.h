// Remote control as the program runs it: the OSC endpoint running the table
// of operations on the deck, and publishing its view to the subscribers
// whenever a published field of it moves.
#pragma once

#include <QObject>
#include <memory>

#include "remote/operations.h"
#include "remote/remote_options.h"

namespace qz7 {

class Deck;
class OscServer;

class RemoteControl : public QObject {
    Q_OBJECT
public:
    RemoteControl(Deck& deck, const RemoteOptions& options, QObject* parent = nullptr);
    ~RemoteControl() override;

    // Binds the OSC socket; false with the reason when it cannot.
    bool start(QString* error);

private:
    Deck& deck_;
    DeckTarget target_;
    std::unique_ptr<OscServer> server_;
};

}  // namespace qz7
