// The settings pages' side of the deck: reading each page back from the
// recorder and writing it, as typed values. Both go onto the command stack
// whether or not the link is on, as the pages always have: what waits there
// goes out once it is. What the recorder last reported for each page is kept
// here, and each answer is announced with the fields it set, so a view sets
// those controls and leaves the others as the operator left them.
#pragma once

#include <QObject>
#include <cstdint>

#include "deck/origin.h"
#include "link/reply_decoder.h"
#include "link/settings.h"

namespace qz7 {

class Deck;

// A page as the recorder last reported it, and which of its fields it has
// reported at all since the start.
template <typename T>
struct Reported {
    T value{};
    SettingsFields fields = 0;
};

class DeckSettings : public QObject {
    Q_OBJECT
public:
    // Queues through the deck; the deck hands over the recorder's answers.
    explicit DeckSettings(Deck& deck, QObject* parent = nullptr);

    // "settings/<page>/read": the page's read requests. Reading the audio page
    // also takes input, channels and converter from the next status reply,
    // even if the operator has moved on by then.
    Outcome read(SettingsPage page, const Origin& origin);

    // "settings/<page>/write": a page's SET.
    Outcome write(const TimecodeSettings& value, const Origin& origin);
    Outcome write(const GenlockSettings& value, const Origin& origin);
    Outcome write(const TestSignalSettings& value, const Origin& origin);
    Outcome write(const AudioSettings& value, const Origin& origin);
    Outcome write(const VideoSettings& value, const Origin& origin);
    Outcome write(const ControlSettings& value, const Origin& origin);
    Outcome write(const CharacterSettings& value, const Origin& origin);
    // "settings/timecode/preset": "PRESET", and "RESET" with zeros.
    Outcome preset(const TimecodePreset& preset, const Origin& origin);
    // "settings/control/playback-mode": the playback mode alone. A control
    // SET whose rate is not a number has sent this much and no more.
    Outcome writePlaybackMode(int item, const Origin& origin);

    const Reported<TimecodeSettings>& timecode() const { return timecode_; }
    const Reported<GenlockSettings>& genlock() const { return genlock_; }
    const Reported<TestSignalSettings>& testSignal() const { return testSignal_; }
    const Reported<AudioSettings>& audio() const { return audio_; }
    const Reported<VideoSettings>& video() const { return video_; }
    const Reported<ControlSettings>& control() const { return control_; }
    const Reported<CharacterSettings>& character() const { return character_; }
    // The next status reply's audio bits belong to the audio page.
    bool audioReadbackPending() const { return audioPending_; }

signals:
    // The page's value as now reported; `fields` says what this answer set.
    void timecodeReported(const qz7::TimecodeSettings& value, qz7::SettingsFields fields);
    void genlockReported(const qz7::GenlockSettings& value, qz7::SettingsFields fields);
    void testSignalReported(const qz7::TestSignalSettings& value, qz7::SettingsFields fields);
    void audioReported(const qz7::AudioSettings& value, qz7::SettingsFields fields);
    void videoReported(const qz7::VideoSettings& value, qz7::SettingsFields fields);
    void controlReported(const qz7::ControlSettings& value, qz7::SettingsFields fields);
    void characterReported(const qz7::CharacterSettings& value, qz7::SettingsFields fields);

private:
    friend class Deck;
    template <typename T>
    Outcome writePage(SettingsPage page, const T& value, const Origin& origin);
    // The answers, already read into their page's value by the decoder.
    void take(const SettingsAnswer<TimecodeSettings>& answer);
    void take(const SettingsAnswer<GenlockSettings>& answer);
    void take(const SettingsAnswer<TestSignalSettings>& answer);
    void take(const SettingsAnswer<AudioSettings>& answer);
    void take(const SettingsAnswer<VideoSettings>& answer);
    void take(const SettingsAnswer<ControlSettings>& answer);
    void take(const SettingsAnswer<CharacterSettings>& answer);
    // Every status reply, before the deck's status display takes it.
    void takeStatus(const StatusReply& status);
    template <typename Page>
    void report(Reported<Page>& reported, const SettingsAnswer<Page>& answer,
                void (DeckSettings::*announce)(const Page&, SettingsFields));

    Deck& deck_;
    Reported<TimecodeSettings> timecode_;
    Reported<GenlockSettings> genlock_;
    Reported<TestSignalSettings> testSignal_;
    Reported<AudioSettings> audio_;
    Reported<VideoSettings> video_;
    Reported<ControlSettings> control_;
    Reported<CharacterSettings> character_;
    bool audioPending_ = false;
};

}  // namespace qz7
