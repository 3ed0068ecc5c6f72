// A reply sink that writes down every call in a word or two ("status",
// "cue 300 used", "timecode 1:2:3:4") and keeps the last values of the
// fields the words leave out. Plain C++.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/reply_decoder.h"

namespace qz7::test {

struct RecordingSink : ReplySink {
    std::vector<std::string> calls;
    StatusReply status;
    std::string text;
    std::array<std::int16_t, 5> steps{};
    std::array<std::uint8_t, 16> character{};
    PositionBytes in{}, out{};

    // Calls whose word starts with `kind`.
    long count(std::string_view kind) const {
        return std::count_if(calls.begin(), calls.end(), [kind](const std::string& c) { return c.starts_with(kind); });
    }

    void onDiscovery(const std::string& a) override { calls.push_back("discovery " + a); }
    void onTimecode(std::uint8_t f, std::uint8_t s, std::uint8_t m, std::uint8_t h) override {
        calls.push_back("timecode " + std::to_string(h) + ":" + std::to_string(m) + ":" + std::to_string(s) + ":" +
                        std::to_string(f));
    }
    void onStatus(const StatusReply& s) override {
        status = s;
        calls.push_back("status");
    }
    void onErrorText(const std::string& t) override {
        text = t;
        calls.push_back("error");
    }
    void onSystem(int c, int n) override { calls.push_back("system " + std::to_string(c) + " " + std::to_string(n)); }
    void onCueEntry(int k, bool present, const PositionBytes& p, const std::string& name) override {
        in = p;
        text = name;
        calls.push_back("cue " + std::to_string(k) + (present ? " used" : " empty"));
    }
    void onClipEntry(int k, bool present, const PositionBytes& i, const PositionBytes& o,
                     const std::string& name) override {
        in = i;
        out = o;
        text = name;
        calls.push_back("clip " + std::to_string(k) + (present ? " used" : " empty"));
    }
    void onInhibit(int n, std::uint8_t f) override {
        calls.push_back("inhibit " + std::to_string(n) + "=" + std::to_string(f));
    }
    void onFileName(int n, const std::string& name) override {
        text = name;
        calls.push_back("file " + std::to_string(n));
    }
    void onSequenceHeader(int s, std::uint8_t b, std::uint8_t e) override {
        calls.push_back("seqhead " + std::to_string(s) + " " + std::to_string(b) + " " + std::to_string(e));
    }
    void onSequenceBlock(int s, int b, const std::array<std::int16_t, 5>& st) override {
        steps = st;
        calls.push_back("seqblock " + std::to_string(s) + " " + std::to_string(b));
    }
    void onSettingsAnswer(std::uint8_t code, std::span<const std::uint8_t> d) override {
        calls.push_back("settings " + std::to_string(code) + " len " + std::to_string(d.size()));
    }
    void onCharacterAnswer(const std::array<std::uint8_t, 16>& d) override {
        character = d;
        calls.push_back("character");
    }
    void onPrerollTime(std::uint8_t b) override { calls.push_back("preroll " + std::to_string(b)); }
};

}  // namespace qz7::test
