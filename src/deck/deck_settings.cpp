#include "deck/deck_settings.h"

#include <span>

#include "deck/deck.h"
#include "net/recorder_link.h"

namespace qz7 {

namespace {
std::string op(SettingsPage page, const char* what) { return std::string("settings/") + pageName(page) + "/" + what; }

// An answer updates the fields it carries and is announced with them.
template <typename T, typename Read, typename Announce>
void take(Reported<T>& reported, Read&& read, Announce&& announce) {
    const SettingsFields fields = read(reported.value);
    if (fields == 0) return;
    reported.fields |= fields;
    announce(reported.value, fields);
}
}  // namespace

DeckSettings::DeckSettings(Deck& deck, RecorderLink& link, QObject* parent)
    : QObject(parent), deck_(deck), link_(link) {
    connect(&link_, &RecorderLink::settingsAnswerReceived, this, &DeckSettings::onAnswer);
    connect(&link_, &RecorderLink::statusReceived, this, &DeckSettings::onStatus);
    connect(&link_, &RecorderLink::prerollTimeReceived, this, &DeckSettings::onPreroll);
    connect(&link_, &RecorderLink::characterAnswerReceived, this, &DeckSettings::onCharacter);
}

Outcome DeckSettings::read(SettingsPage page, const Origin& origin) {
    Outcome o = deck_.submit(origin, op(page, "read"), readRequests(page), false);
    if (page == SettingsPage::Audio && o.queued()) audioPending_ = true;
    return o;
}

template <typename T>
Outcome DeckSettings::writePage(SettingsPage page, const T& value, const Origin& origin) {
    return deck_.submit(origin, op(page, "write"), value.packets(), false);
}

Outcome DeckSettings::write(const TimecodeSettings& v, const Origin& o) { return writePage(SettingsPage::Timecode, v, o); }
Outcome DeckSettings::write(const GenlockSettings& v, const Origin& o) { return writePage(SettingsPage::Genlock, v, o); }
Outcome DeckSettings::write(const TestSignalSettings& v, const Origin& o) {
    return writePage(SettingsPage::TestSignal, v, o);
}
Outcome DeckSettings::write(const AudioSettings& v, const Origin& o) { return writePage(SettingsPage::Audio, v, o); }
Outcome DeckSettings::write(const VideoSettings& v, const Origin& o) { return writePage(SettingsPage::Video, v, o); }
Outcome DeckSettings::write(const ControlSettings& v, const Origin& o) { return writePage(SettingsPage::Control, v, o); }

Outcome DeckSettings::write(const CharacterSettings& v, const Origin& o) {
    return deck_.submit(o, op(SettingsPage::Character, "write"), {v.packet()}, false);
}

Outcome DeckSettings::preset(const TimecodePreset& p, const Origin& o) {
    return deck_.submit(o, op(SettingsPage::Timecode, "preset"), {p.packet()}, false);
}

Outcome DeckSettings::writePlaybackMode(int item, const Origin& o) {
    ControlSettings v;
    v.playbackMode = item;
    return deck_.submit(o, op(SettingsPage::Control, "playback-mode"), {v.packets().front()}, false);
}

// Answers are taken whichever page asked and whenever they come: the
// recorder's answers are not paired with requests.
void DeckSettings::onAnswer(std::uint8_t code, const QByteArray& datagram) {
    const std::span<const std::uint8_t> d(reinterpret_cast<const std::uint8_t*>(datagram.constData()),
                                          static_cast<std::size_t>(datagram.size()));
    const auto answer = [&](auto& value) { return value.read(code, d); };
    take(timecode_, answer, [this](const auto& v, SettingsFields f) { emit timecodeReported(v, f); });
    take(genlock_, answer, [this](const auto& v, SettingsFields f) { emit genlockReported(v, f); });
    take(testSignal_, answer, [this](const auto& v, SettingsFields f) { emit testSignalReported(v, f); });
    take(audio_, answer, [this](const auto& v, SettingsFields f) { emit audioReported(v, f); });
    take(video_, answer, [this](const auto& v, SettingsFields f) { emit videoReported(v, f); });
    take(control_, answer, [this](const auto& v, SettingsFields f) { emit controlReported(v, f); });
}

// Once per read of the audio page: later status replies carry the same bits
// but are the status display's, not the page's.
void DeckSettings::onStatus(const StatusReply& status) {
    if (!audioPending_) return;
    audioPending_ = false;
    take(audio_, [&](AudioSettings& v) { return v.readStatus(status.audio); },
         [this](const auto& v, SettingsFields f) { emit audioReported(v, f); });
}

void DeckSettings::onPreroll(std::uint8_t secondsByte) {
    take(control_, [&](ControlSettings& v) { return v.readPreroll(secondsByte); },
         [this](const auto& v, SettingsFields f) { emit controlReported(v, f); });
}

void DeckSettings::onCharacter(const std::array<std::uint8_t, 16>& data) {
    take(character_, [&](CharacterSettings& v) {
        v = CharacterSettings::fromAnswer(data);
        return SettingsFields{CharacterSettings::All};
    }, [this](const auto& v, SettingsFields f) { emit characterReported(v, f); });
}

}  // namespace qz7
