// The panel's side of remote control: each remote command is checked as the
// panel's own control checks it and queues the same bytes through the same
// command stack; the recorder's state is kept as the text a subscriber sees.
#pragma once

#include <QObject>
#include <string>

#include "app/remote_actions.h"
#include "link/protocol.h"
#include "link/reply_decoder.h"

namespace qz7 {

class MediaModel;
class RecorderLink;

class RemoteSession : public QObject, public RemoteActions {
    Q_OBJECT
public:
    // requestErrorTexts: ask the recorder for its error text when the error
    // flag rises (without a window nothing else does).
    RemoteSession(RecorderLink& link, MediaModel& media, bool requestErrorTexts, QObject* parent = nullptr);

    const RemoteState& state() const { return state_; }
    // "OFF", "OK" or "NO REPLY".
    void setLinkState(const std::string& link);

    std::string play() override;
    std::string stop(bool lock) override;
    std::string record() override;
    std::string fastForward(int item) override;
    std::string rewind(int item) override;
    std::string slow(int direction, int item) override;
    std::string jog(int direction) override;
    std::string monitorEE() override;
    std::string monitorPB() override;
    std::string openFile(int number) override;
    std::string openClip(int number) override;
    std::string openSequence(int number) override;
    std::string markCue() override;
    std::string searchCue(int number) override;
    std::string goTo(const std::string& timecode) override;

signals:
    void stateChanged(const qz7::RemoteState& state);

private:
    // Empty when a command may go out now, else the reason.
    std::string refusal() const;
    std::string send(const Packet& packet);
    void onStatus(const StatusReply& status);
    void update(RemoteState next);

    RecorderLink& link_;
    MediaModel& media_;
    bool requestErrorTexts_;
    bool errorLatch_ = false;
    PositionBytes timecode_{};
    RemoteState state_;
};

}  // namespace qz7
