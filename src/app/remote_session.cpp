#include "app/remote_session.h"

#include <cctype>

#include "link/commands.h"
#include "link/status_text.h"
#include "link/timecode.h"
#include "media/media_model.h"
#include "net/recorder_link.h"
#include "ui/handler.h"

namespace qz7 {

namespace {
cmd::Direction direction(int d) { return d < 0 ? cmd::Direction::Reverse : cmd::Direction::Forward; }

// "hh:mm:ss:ff", two digits each, as the typed Srh takes it.
bool parseTimecode(const std::string& text, PositionBytes& position) {
    if (text.size() != 11 || text[2] != ':' || text[5] != ':' || text[8] != ':') return false;
    for (std::size_t at : {0u, 1u, 3u, 4u, 6u, 7u, 9u, 10u})
        if (!std::isdigit(static_cast<unsigned char>(text[at]))) return false;
    position = {bcd2(text.substr(9, 2)), bcd2(text.substr(6, 2)), bcd2(text.substr(3, 2)), bcd2(text.substr(0, 2))};
    return true;
}
}  // namespace

RemoteSession::RemoteSession(RecorderLink& link, MediaModel& media, bool requestErrorTexts, QObject* parent)
    : QObject(parent), link_(link), media_(media), requestErrorTexts_(requestErrorTexts) {
    state_.timecode = "00:00:00:00";
    onSignal(&link_, &RecorderLink::timecodeReceived, this,
             [this](std::uint8_t f, std::uint8_t s, std::uint8_t m, std::uint8_t h) {
                 timecode_ = {static_cast<std::uint8_t>(f & 0x3F), static_cast<std::uint8_t>(s & 0x7F),
                              static_cast<std::uint8_t>(m & 0x7F), static_cast<std::uint8_t>(h & 0x3F)};
                 RemoteState next = state_;
                 next.timecode = Timecode::fromReply(f, s, m, h).text();
                 update(next);
             });
    onSignal(&link_, &RecorderLink::statusReceived, this, [this](const StatusReply& s) { onStatus(s); });
    onSignal(&link_, &RecorderLink::errorTextReceived, this, [this](const std::string& text) {
        RemoteState next = state_;
        next.error = text;
        update(next);
    });
}

void RemoteSession::setLinkState(const std::string& link) {
    RemoteState next = state_;
    next.link = link;
    update(next);
}

void RemoteSession::onStatus(const StatusReply& s) {
    RemoteState next = state_;
    if (const std::string word = transportWord(s); !word.empty()) next.transport = word;
    next.rec = next.transport == "REC" ? 1 : 0;
    const NumberLine line = numberLine(s);
    next.number = line.caption + " " + line.number + (line.marker == " " ? "" : " " + line.marker);
    // The error flag: its text is asked for once per rising flag, and goes
    // when the flag does.
    const bool error = (s.quality & 0x20) != 0;
    if (error && !errorLatch_) {
        errorLatch_ = true;
        if (requestErrorTexts_) link_.queue(cmd::errorTextRequest());
    } else if (!error && errorLatch_) {
        errorLatch_ = false;
        next.error.clear();
    }
    update(next);
}

void RemoteSession::update(RemoteState next) {
    if (next == state_) return;
    state_ = std::move(next);
    emit stateChanged(state_);
}

std::string RemoteSession::refusal() const { return link_.linkEnabled() ? std::string() : "link off"; }

std::string RemoteSession::send(const Packet& packet) {
    if (std::string why = refusal(); !why.empty()) return why;
    link_.queue(packet);
    return {};
}

std::string RemoteSession::play() { return send(cmd::play()); }
std::string RemoteSession::stop(bool lock) { return send(cmd::stop(lock)); }
std::string RemoteSession::fastForward(int item) { return send(cmd::wind(cmd::Direction::Forward, item)); }
std::string RemoteSession::rewind(int item) { return send(cmd::wind(cmd::Direction::Reverse, item)); }
std::string RemoteSession::slow(int d, int item) { return send(cmd::slow(direction(d), item)); }
std::string RemoteSession::jog(int d) { return send(cmd::jog(direction(d))); }
std::string RemoteSession::monitorEE() { return send(cmd::monitorEE()); }
std::string RemoteSession::monitorPB() { return send(cmd::monitorPB()); }

// As REC does: the new file's number shows in the file list at once.
std::string RemoteSession::record() {
    if (std::string why = refusal(); !why.empty()) return why;
    link_.queue(cmd::record());
    media_.recordStarted();
    return {};
}

std::string RemoteSession::openFile(int number) {
    if (std::string why = refusal(); !why.empty()) return why;
    if (number < 1 || number > media_.recordedFileCount())
        return "no file " + std::to_string(number) + " (recorded files: " + std::to_string(media_.recordedFileCount()) + ")";
    link_.queue(cmd::openFile(number));
    return {};
}

std::string RemoteSession::openClip(int number) {
    if (std::string why = refusal(); !why.empty()) return why;
    if (number < 0 || number >= media_.clipCount()) return "no clip " + std::to_string(number);
    link_.queue(cmd::openClip(number));
    return {};
}

std::string RemoteSession::openSequence(int number) {
    if (std::string why = refusal(); !why.empty()) return why;
    if (number < 0 || number >= kSequenceCount || media_.sequence(number).entryCount == 0)
        return "no sequence " + std::to_string(number);
    link_.queue(cmd::openSequence(number));
    return {};
}

// Mrk: the first free cue slot takes the timecode the recorder last reported.
std::string RemoteSession::markCue() {
    if (std::string why = refusal(); !why.empty()) return why;
    const Timecode position = Timecode::fromBytes(timecode_);
    const int k = media_.markCue(position);
    if (k < 0) return "every cue slot is in use";
    link_.queue(cueWrite(k, media_.cue(k), 0x01));
    return {};
}

// Srh on a cue line: only the cues the recorder reported can be searched.
std::string RemoteSession::searchCue(int number) {
    if (std::string why = refusal(); !why.empty()) return why;
    if (number < 0 || number >= media_.cueCount()) return "no cue " + std::to_string(number);
    link_.queue(cmd::goToCue(number, 0x00));
    return {};
}

std::string RemoteSession::goTo(const std::string& timecode) {
    if (std::string why = refusal(); !why.empty()) return why;
    PositionBytes position{};
    if (!parseTimecode(timecode, position)) return "not a timecode hh:mm:ss:ff: '" + timecode + "'";
    link_.queue(cmd::timecodeSearch(position));
    return {};
}

}  // namespace qz7
