// A reply sink that writes down every reply in a word or two ("status",
// "cue 300 used", "timecode 1:2:3:4", "settings control 3") and keeps the last
// values of the fields the words leave out. Plain C++.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "link/reply_decoder.h"

namespace qz7::test {

struct RecordingSink : ReplySink {
    std::vector<std::string> calls;
    StatusReply status;
    std::string text;
    std::array<std::int16_t, 5> steps{};
    CharacterSettings character;
    ControlSettings control;
    PositionBytes in{}, out{};

    // Calls whose word starts with `kind`.
    long count(std::string_view kind) const {
        return std::count_if(calls.begin(), calls.end(), [kind](const std::string& c) { return c.starts_with(kind); });
    }

    void take(const Reply& reply) override {
        const auto n = [](int v) { return std::to_string(v); };
        const auto used = [](bool present) { return present ? " used" : " empty"; };
        calls.push_back(std::visit(
            overloaded{
                [&](const DiscoveryReply& r) { return "discovery " + r.sender; },
                [&](const TimecodeReply& r) {
                    return "timecode " + n(r.hours) + ":" + n(r.minutes) + ":" + n(r.seconds) + ":" + n(r.frames);
                },
                [&](const StatusReply& r) { return status = r, std::string("status"); },
                [&](const ErrorTextReply& r) { return text = r.text, std::string("error"); },
                [&](const SystemReply& r) { return "system " + n(r.diskConfiguration) + " " + n(r.recordedFileCount); },
                [&](const CueEntryReply& r) {
                    in = r.position;
                    text = r.name;
                    return "cue " + n(r.cue) + used(r.present);
                },
                [&](const ClipEntryReply& r) {
                    in = r.in;
                    out = r.out;
                    text = r.name;
                    return "clip " + n(r.clip) + used(r.present);
                },
                [&](const InhibitReply& r) { return "inhibit " + n(r.fileNumber) + "=" + n(r.flag); },
                [&](const FileNameReply& r) { return text = r.name, "file " + n(r.fileNumber); },
                [&](const SequenceHeaderReply& r) {
                    return "seqhead " + n(r.sequence) + " " + n(r.blockCount) + " " + n(r.entryCount);
                },
                [&](const SequenceBlockReply& r) {
                    steps = r.steps;
                    return "seqblock " + n(r.sequence) + " " + n(r.block);
                },
                [&]<typename Page>(const SettingsAnswer<Page>& a) {
                    if constexpr (std::is_same_v<Page, CharacterSettings>) character = a.value;
                    if constexpr (std::is_same_v<Page, ControlSettings>) control = a.value;
                    return std::string("settings ") + pageName(Page::kPage) + " " + n(static_cast<int>(a.fields));
                },
            },
            reply));
    }
};

}  // namespace qz7::test
