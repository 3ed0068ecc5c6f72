// Remote control's side of the deck: each remote command is the deck's own
// operation, with the sender as its origin, so the checks and the bytes are
// the panel's; the recorder's state is kept as the text a subscriber sees.
#pragma once

#include <QObject>
#include <string>

#include "remote/remote_actions.h"

namespace qz7 {

class Deck;

class RemoteSession : public QObject, public RemoteActions {
    Q_OBJECT
public:
    explicit RemoteSession(Deck& deck, QObject* parent = nullptr);

    const RemoteState& state() const { return state_; }
    // "OFF", "OK" or "NO REPLY".
    void setLinkState(const std::string& link);

    std::string play(const Origin& origin) override;
    std::string stop(const Origin& origin, bool lock) override;
    std::string record(const Origin& origin) override;
    std::string fastForward(const Origin& origin, int item) override;
    std::string rewind(const Origin& origin, int item) override;
    std::string slow(const Origin& origin, int direction, int item) override;
    std::string jog(const Origin& origin, int direction) override;
    std::string monitorEE(const Origin& origin) override;
    std::string monitorPB(const Origin& origin) override;
    std::string openFile(const Origin& origin, int number) override;
    std::string openClip(const Origin& origin, int number) override;
    std::string openSequence(const Origin& origin, int number) override;
    std::string markCue(const Origin& origin) override;
    std::string searchCue(const Origin& origin, int number) override;
    std::string goTo(const Origin& origin, const std::string& timecode) override;
    std::string retrieve(const Origin& origin) override;

signals:
    void stateChanged(const qz7::RemoteState& state);

private:
    void update(RemoteState next);

    Deck& deck_;
    RemoteState state_;
};

}  // namespace qz7
