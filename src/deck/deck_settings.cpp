#include "deck/deck_settings.h"

#include "deck/deck.h"

namespace qz7 {

namespace {
std::string op(SettingsPage page, const char* what) { return std::string("settings/") + pageName(page) + "/" + what; }
}  // namespace

DeckSettings::DeckSettings(Deck& deck, QObject* parent) : QObject(parent), deck_(deck) {}

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
// recorder's answers are not paired with requests. Each updates the fields it
// carries and is announced with them.
template <typename Page>
void DeckSettings::report(Reported<Page>& reported, const SettingsAnswer<Page>& answer,
                          void (DeckSettings::*announce)(const Page&, SettingsFields)) {
    if (answer.fields == 0) return;
    reported.value.merge(answer.value, answer.fields);
    reported.fields |= answer.fields;
    emit(this->*announce)(reported.value, answer.fields);
}

void DeckSettings::take(const SettingsAnswer<TimecodeSettings>& a) {
    report(timecode_, a, &DeckSettings::timecodeReported);
}
void DeckSettings::take(const SettingsAnswer<GenlockSettings>& a) { report(genlock_, a, &DeckSettings::genlockReported); }
void DeckSettings::take(const SettingsAnswer<TestSignalSettings>& a) {
    report(testSignal_, a, &DeckSettings::testSignalReported);
}
void DeckSettings::take(const SettingsAnswer<AudioSettings>& a) { report(audio_, a, &DeckSettings::audioReported); }
void DeckSettings::take(const SettingsAnswer<VideoSettings>& a) { report(video_, a, &DeckSettings::videoReported); }
void DeckSettings::take(const SettingsAnswer<ControlSettings>& a) { report(control_, a, &DeckSettings::controlReported); }
void DeckSettings::take(const SettingsAnswer<CharacterSettings>& a) {
    report(character_, a, &DeckSettings::characterReported);
}

// Once per read of the audio page: later status replies carry the same bits
// but are the status display's, not the page's.
void DeckSettings::takeStatus(const StatusReply& status) {
    if (!audioPending_) return;
    audioPending_ = false;
    SettingsAnswer<AudioSettings> answer;
    answer.fields = answer.value.readStatus(status.audio);
    take(answer);
}

}  // namespace qz7
