// What the rack runs: its decks, from --deck options and the [deck NAME]
// sections of a configuration file, and the [osc], [http] and [log] sections. Reading refuses
// anything it does not understand, with the file and the line.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "deck/deck_name.h"
#include "log/log_options.h"
#include "net/device_pair.h"
#include "remote/remote_options.h"
#include "remote/web_options.h"

namespace qz7 {

struct DeckConfig {
    QString name;
    DevicePair devices;
    int line = 0;   // the recorder whose replies are read: 0 first, 1 second
    QString where;  // "rack.conf:12" or "--deck", for messages

    // Same recorders and line: a reload leaves such a deck running.
    bool sameDeck(const DeckConfig& other) const;
};

// The [osc] section, with what it set.
struct OscSection {
    RemoteOptions options;
    bool portGiven = false;
    bool bindGiven = false;
    bool allowGiven = false;
    bool verboseGiven = false;
    bool operator==(const OscSection& other) const;
};

// The [http] section, with what it set.
struct WebSection {
    WebOptions options;
    bool portGiven = false;
    bool bindGiven = false;
    bool allowGiven = false;
    bool tokenFileGiven = false;
    bool hostGiven = false;
    bool operator==(const WebSection&) const = default;
};

struct RackFile {
    QList<DeckConfig> decks;
    OscSection osc;
    WebSection http;
    LogOptions log;  // the [log] section: dir, keep-days, enabled
};

// "studio-a=127.0.0.1,127.0.0.2@1". "" or the reason it is refused.
QString parseDeckOption(const QString& text, DeckConfig& deckConfig);

// Reads path. "" or "FILE:LINE: reason" (or "FILE: reason" when it cannot be read).
QString readRackFile(const QString& path, RackFile& file);

// Names given twice, recorders shared by two decks, no deck at all.
QString checkDecks(const QList<DeckConfig>& decks);

// The [osc] section under the command line's OSC options: what was given on
// the command line wins.
RemoteOptions mergeOsc(const OscSection& file, const RemoteOptions& commandLine);
// The same for the [http] section and the --http options.
WebOptions mergeHttp(const WebSection& file, const WebOptions& commandLine);

}  // namespace qz7
