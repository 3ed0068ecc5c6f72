// Fuzzes the simulated recorder's request handler: the input as one datagram,
// then the same bytes cut into several datagrams, all handled in turn by one
// recorder, so that commands change the state later requests read.
//
// Input: byte 0 sets the recorder up, the rest is the traffic.
//   bits 0-1  recorded files: 0, 1, 37 or 512
//   bit 2     512 clips, 512 cues and 16 sequences (else none)
//   bit 3     the error flag up with a text
//   bit 4     fix each datagram's N and sum first (so mutations reach the handlers)
//   bits 5-7  milliseconds of motion between two datagrams, times 7
// The traffic is cut into datagrams at every "|||" (kSeparator).
//
// Every reply must be a well-formed frame with a good sum that the panel's
// decoder takes, and the recorder's state must stay inside its tables.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "link/protocol.h"
#include "link/reply_decoder.h"
#include "recorder.h"

namespace {

using qz7sim::Bytes;

constexpr std::array<std::uint8_t, 3> kSeparator{'|', '|', '|'};

[[noreturn]] void fail(const char* what, std::span<const std::uint8_t> request, std::span<const std::uint8_t> reply) {
    std::fprintf(stderr, "simulator invariant broken: %s\nrequest (%zu bytes):", what, request.size());
    for (std::uint8_t b : request) std::fprintf(stderr, " %02X", b);
    std::fprintf(stderr, "\nreply (%zu bytes):", reply.size());
    for (std::uint8_t b : reply) std::fprintf(stderr, " %02X", b);
    std::fputc('\n', stderr);
    std::abort();
}

void fixFrame(Bytes& d) {
    if (d.size() < 2) return;
    if (d[0] == qz7::kLead && d.size() >= 5 && d.size() - 5 <= 0xFF) d[1] = static_cast<std::uint8_t>(d.size() - 5);
    d.back() = qz7::checksum(std::span<const std::uint8_t>(d).first(d.size() - 1));
}

void checkReplies(std::span<const std::uint8_t> request, const std::vector<Bytes>& replies) {
    if (replies.size() > 1) fail("more than one reply to one datagram", request, replies[1]);
    for (const Bytes& r : replies) {
        const std::span<const std::uint8_t> d(r);
        if (d.size() < 2 || qz7::checksum(d.first(d.size() - 1)) != d.back()) fail("reply with a bad sum", request, d);
        if (d[0] == qz7::Preroll::AnswerLead0 && d[1] == qz7::Preroll::AnswerLead1) {
            if (d.size() != 7) fail("preroll answer not 7 bytes", request, d);
        } else {
            if (d[0] != qz7::kLead) fail("reply without the lead byte", request, d);
            if (d.size() < 5 || static_cast<std::size_t>(d[1]) + 5 != d.size()) fail("reply N disagrees with its length", request, d);
            if (d.size() > qz7::kSlotBytes + 1) fail("reply longer than a packet", request, d);
            if (d[2] != qz7::Group::Answer && d[2] != qz7::Group::SystemAnswer) fail("reply in a request group", request, d);
            if (request.size() >= 4 && d[3] != request[3] && !(request[3] == qz7::Sense::Timecode && d[3] == qz7::Sense::TimecodeReply))
                fail("reply under another code than its request", request, d);
        }
        // A reply the panel knows must also pass the panel's own checks.
        const bool known = d[0] != qz7::kLead || qz7::ReplyDecoder::minimumLength(d[2], d[3]) != 0;
        // Only whether the decoder takes the reply matters here. The recorder
        // keeps any audio delay it is sent; one past the page's 5.5 frames is
        // the one answer the panel may refuse.
        const bool delayPastItems = d.size() > 4 && d[0] == qz7::kLead && d[3] == qz7::Sense::AudioDelay &&
                                    (d[4] & 0x80 || d[4] > 11);
        if (known && !delayPastItems && !qz7::decodeReply(d, qz7::Sender{"127.0.0.1", true}, true))
            fail("the panel's decoder refuses this reply", request, d);
    }
}

void checkState(const qz7sim::Recorder& recorder, std::span<const std::uint8_t> request) {
    const qz7sim::State& s = recorder.state();
    const auto broken = [&](const char* what) { fail(what, request, {}); };
    if (s.files.size() > qz7sim::kTableSize) broken("more files than the table holds");
    for (const auto& f : s.files)
        if (f.name.size() > qz7sim::kNameBytes) broken("file name longer than 32 bytes");
    for (const auto& c : s.cues)
        if (c.name.size() > qz7sim::kNameBytes) broken("cue name longer than 32 bytes");
    for (const auto& c : s.clips)
        if (c.name.size() > qz7sim::kNameBytes) broken("clip name longer than 32 bytes");
    for (const auto& q : s.sequences)
        if (q.entries < 0 || q.entries > qz7sim::kMaxEntries || q.blocks < 0 || q.blocks > qz7sim::kSequenceSteps / 5)
            broken("sequence counts outside the steps");
    if (s.currentFile < 0 || s.currentFile > recorder.fileCount()) broken("current file is not a recorded file");
    if (s.currentSequence < 0 || s.currentSequence >= qz7sim::kSequenceCount) broken("current sequence outside 0..15");
    if (s.frame < 0 || s.frame >= qz7sim::kDayFrames) broken("timecode outside the day");
    for (const auto& row : qz7sim::settingSpecs())
        if (recorder.setting(row.code).size() != row.length) broken("a setting changed its length");
}

std::vector<Bytes> split(std::span<const std::uint8_t> traffic) {
    std::vector<Bytes> out(1);
    for (std::size_t i = 0; i < traffic.size();) {
        if (i + kSeparator.size() <= traffic.size() &&
            std::equal(kSeparator.begin(), kSeparator.end(), traffic.begin() + static_cast<std::ptrdiff_t>(i))) {
            out.emplace_back();
            i += kSeparator.size();
        } else {
            out.back().push_back(traffic[i++]);
        }
    }
    return out;
}

qz7sim::Config configFrom(std::uint8_t b) {
    static constexpr std::array<int, 4> kFiles{0, 1, 37, 512};
    qz7sim::Config c;
    c.files = kFiles[b & 0x03];
    if (b & 0x04) {
        c.clips = c.cues = qz7sim::kTableSize;
        c.sequences = qz7sim::kSequenceCount;
    }
    if (b & 0x08) c.error = "FUZZ ERROR TEXT 23 BYTE";
    return c;
}

// A recorder in its start-up state for the given setup byte. Built once per
// setup and copied by assignment, which reuses the tables' storage: building
// 512 demo entries for every input would cost more than the fuzzing itself.
qz7sim::Recorder& freshRecorder(std::uint8_t setup) {
    static std::array<std::unique_ptr<qz7sim::Recorder>, 16> pristine;
    static qz7sim::Recorder work;
    auto& p = pristine[setup & 0x0F];
    if (!p) p = std::make_unique<qz7sim::Recorder>(configFrom(setup));
    work = *p;
    return work;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t setup = data[0];
    const bool fix = (setup & 0x10) != 0;
    const int stepMs = (setup >> 5) * 7;
    const std::span<const std::uint8_t> traffic(data + 1, size - 1);
    qz7sim::Recorder& recorder = freshRecorder(setup);

    // The whole traffic as one datagram first, exactly sized so that overreads
    // show; then the same bytes as a conversation with the same recorder.
    std::vector<Bytes> datagrams{Bytes(traffic.begin(), traffic.end())};
    for (Bytes& d : split(traffic)) datagrams.push_back(std::move(d));
    for (Bytes& d : datagrams) {
        if (fix) fixFrame(d);
        checkReplies(d, recorder.handle(d));
        checkState(recorder, d);
        recorder.advance(stepMs);
    }
    return 0;
}
