// The deck: one recorder pair as one object. It owns the link to the pair,
// the media model, the link monitor and what the recorder last told us, and it
// holds every operation the operator has. The window, remote control and any
// later front end are guests: they call the same operations, each with its
// origin, and each operation returns what became of it (queued, or refused
// with the reason in words). Replies go into the deck's state and model here,
// and the front ends redraw from its signals. QtCore and QtNetwork only.
#pragma once

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "deck/origin.h"
#include "deck/outcome_report.h"
#include "link/commands.h"
#include "link/reply_decoder.h"
#include "link/status_text.h"
#include "link/timecode.h"
#include "media/media_lines.h"
#include "media/media_model.h"
#include "net/device_pair.h"
#include "net/recorder_link.h"

namespace qz7 {

class DeckSettings;
class DeckView;
class LinkMonitor;

// What the recorder last reported, as the status panel shows it.
struct DeckStatus {
    Timecode timecode;                                   // "00:00:00:00" until the first reply
    std::string transport = "STOP";                      // the transport word
    bool rec = false;                                    // the word is "REC"
    NumberLine number{"REC FILE :", "001", ""};          // the REC FILE / CLIP / SEQ line
    std::string reference = "INT";                       // "EXT", "INPUT", "INT"
    std::string standard = "1080/59.94I";                // trailing blanks as the recorder's table has them
    std::string quality = "HQ";
    int frameBase = 30;                                  // frames a second of the standard
    bool errorLatch = false;                             // the recorder reports an error
    std::string errorText;                               // its text, "" while none
    std::string errorLine;                               // the panel's error line: "", "ERR : text", or " " once cleared
};

// A "Retrieve" on its way: the burst going out, then a grace second for the
// last answers, then up to two more passes for the requests nobody answered.
struct RetrieveProgressState {
    bool running = false;
    int total = 0;   // requests in this pass
    int sent = 0;    // requests gone out
    int pass = 0;    // 0 the burst, 1 and 2 the passes that ask again
    qint64 elapsedMs = 0;
    // After the last pass: what never answered, until the next Retrieve or Apply.
    bool incomplete = false;
    int missing = 0;          // entries; a file missing its name or its flag counts once
    std::string missingText;  // "files 3, 7; clips 0, 5; cues 3; sequences 2"
    // The last one was cut short by "Apply" while it was still going out.
    bool cancelled = false;
};

class Deck : public QObject {
    Q_OBJECT
public:
    explicit Deck(const DevicePair& devices, LinkTiming timing = {}, QObject* parent = nullptr);
    ~Deck() override;

    // The deck's name, for front ends that show several.
    QString name() const { return name_; }
    void setName(const QString& name) { name_ = name; }

    const DevicePair& devices() const { return link_->devices(); }

    // The poll cycle ticks from start() on; nothing is sent before apply().
    void start();
    void shutdown();
    // Start-up state: link off, empty tables, nothing queued, no error reported.
    void reset();

    // --- what the deck knows
    const DeckStatus& status() const { return status_; }
    const MediaModel& media() const { return *media_; }
    // The lists that show the tables (one observer: the window's lists).
    void setMediaObserver(MediaObserver* observer) { lines_->setDownstream(observer); }
    // The file, clip and cue lists' lines as the window shows them (listChanged).
    const std::vector<std::string>& listLines(MediaList list) const { return lines_->lines(list); }
    LinkMonitor& monitor() const { return *monitor_; }
    DeckSettings& settings() const { return *settings_; }
    // What every front end shows of this deck, with one change signal.
    DeckView& view() const { return *view_; }
    bool linkEnabled() const { return link_->linkEnabled(); }
    // Where a command goes: the selected recorder, then its partner.
    QStringList targetHosts() const { return link_->targetHosts(); }
    // The selected recorder after apply(): its address, and its ID code when
    // it is one of the built-in pair ("" for any other address).
    QString selectedHost() const { return selectedHost_; }
    QString selectedId() const { return selectedId_; }
    // Devices that announced themselves since the start or "Scan".
    const QStringList& discoveredDevices() const { return discovered_; }
    static constexpr int kMaxDeviceLines = 64;
    // "Retrieve" may go: a recorder answered and no burst is going out.
    bool retrieveAvailable() const { return retrieveAvailable_; }
    const RetrieveProgressState& retrieveProgress() const { return retrieve_; }
    // Packets waiting on the command stack.
    int commandsWaiting() const;
    // What remote clients (OSC senders, web clients) may have waiting: each
    // a few operations, all of them together never the room the panel needs.
    static constexpr int kOpsPerRemoteOrigin = 8;
    static constexpr int kRemoteOps = 64;
    // Poll ticks begun (for tests and the benchmark).
    qint64 ticks() const;
    // Replies read and dropped because newer ones were waiting behind them.
    qint64 droppedReplies() const;
    // Milliseconds on a monotonic clock; tests drive time by hand.
    void setClockForTesting(std::function<qint64()> clock) { clock_ = std::move(clock); }
    // The wait after a burst for its last answers, and the passes that ask again.
    static constexpr qint64 kRetrieveGraceMs = 1000;
    static constexpr int kRetrievePasses = 2;

    // --- device
    // "Apply": line 0 or 1 of the device list picks the recorder whose
    // replies are read; the other of the pair receives every packet too.
    Outcome apply(int line, const Origin& origin);
    // "Scan": the link off until the next apply, the found devices forgotten.
    Outcome scan(const Origin& origin);
    // "Retrieve": the whole list refresh.
    Outcome retrieve(const Origin& origin);

    // --- transport
    Outcome play(const Origin& origin);
    Outcome stop(bool lock, const Origin& origin);
    Outcome record(const Origin& origin);
    Outcome wind(Direction direction, int speedItem, const Origin& origin);  // item 0..4 of FF/RWD SPEED
    Outcome slow(Direction direction, int speedItem, const Origin& origin);  // item 0..8 of SLOW SPEED
    Outcome jog(Direction direction, const Origin& origin);
    Outcome monitorEE(const Origin& origin);
    Outcome monitorPB(const Origin& origin);
    // Only while the recorder reports an error.
    Outcome errorReset(const Origin& origin);

    // --- opening what the lists show
    Outcome openFile(int number, const Origin& origin);      // numbered from 1
    Outcome openClip(int clip, const Origin& origin);        // from 0
    Outcome openSequence(int sequence, const Origin& origin); // 0..15, one the sequence list shows

    // --- cue marks and search
    // A cue at the timecode the recorder last reported, in the first free slot (Outcome::index).
    Outcome markCue(const Origin& origin);
    // To cue k of the list: exactly (Srh) or the preroll before it (Cue).
    Outcome searchCue(int cue, bool preroll, const Origin& origin);
    // A search to a timecode given as "hh:mm:ss:ff": refused unless it is a
    // real time at the recorder's frame rate (remote clients).
    Outcome goTo(const std::string& timecode, const Origin& origin);
    // A search to a typed position, sent as typed (the recorder judges it).
    Outcome searchPosition(const Timecode& position, const Origin& origin);
    // A search to a typed position less the preroll, counted at 30 frames a
    // second and wrapping at 24 hours.
    Outcome cueTypedPosition(int hours, int minutes, int seconds, int frames, int prerollSeconds,
                             const Origin& origin);
    Outcome deleteCue(int cue, const Origin& origin);
    Outcome editCue(int cue, const Timecode& position, const std::string& name, const Origin& origin);

    // --- recorded files
    Outcome editFile(int number, const std::string& name, std::uint8_t inhibit, const Origin& origin);
    Outcome eraseLastFile(const Origin& origin);

    // --- clips
    Outcome saveClip(int clip, const ClipEntry& edited, const Origin& origin);
    Outcome deleteClip(int clip, const Origin& origin);

    // --- sequences
    // The edited steps of sequence s into the table and to the recorder; the
    // sequence list shows `listed` (the one the editor names).
    Outcome saveSequence(int sequence, int listed, const SequenceRecord& edited, const Origin& origin);
    Outcome deleteSequence(int sequence, const Origin& origin);
    // The steps of every sequence the recorder holds.
    Outcome requestSequenceBlocks(const Origin& origin);

    // --- clear menu and disks
    Outcome clearCues(const Origin& origin);
    Outcome clearClips(const Origin& origin);
    Outcome clearSequences(const Origin& origin);
    Outcome eraseDisks(int raidItem, const Origin& origin);

    // --- alarms: a recording that stopped without a stop from us, the link
    // lost while recording, an error text from the recorder. One alarm is
    // held (the newest) until someone acknowledges it.
    const std::string& alarm() const { return alarm_; }
    // Clears the alarm; logged with its origin. Refused while none is held.
    Outcome acknowledgeAlarm(const Origin& origin);

    // --- outcomes: how long after its packet left an operation waits for
    // the transport word that confirms it. Both must pass: ten status
    // replies are 400 ms at the 20 ms tick, and a recorder takes a few
    // frames to change its word.
    static constexpr int kConfirmReplies = 10;
    static constexpr qint64 kConfirmMs = 500;
    // A recorder that sends fewer replies (or none) is judged at this age.
    static constexpr qint64 kConfirmLimitMs = 1000;
    // A recording that ends this soon after a transport command of ours
    // ended by our hand: no alarm.
    static constexpr qint64 kOwnStopMs = 2000;
    // The transport word that confirms op ("PLAY" for "play"), "" when the
    // word cannot show it.
    static std::string confirmingWord(const std::string& op);

    // Test set-up and inspection only: the link and the model behind the deck.
    RecorderLink& linkForTesting() { return *link_; }
    MediaModel& mediaForTesting() { return *media_; }

    // Queues `packets` in order under the operation `op`. With needsLink the
    // operation is refused while the link is off. The settings use this.
    // args are the operation's named arguments, for the log.
    Outcome submit(const Origin& origin, const std::string& op, std::vector<Packet> packets, bool needsLink,
                   Args args = {});

signals:
    void linkEnabledChanged(bool on);
    // Apply: the selected recorder changed (selectedHost(), selectedId()).
    void applied();
    void timecodeChanged(const qz7::Timecode& timecode);
    // Any field of status() other than the timecode may have moved.
    void statusChanged();
    void transportChanged(const QString& word);
    void errorLineChanged();
    void discovered(int line, const QString& address);
    void diskConfigurationReported(int item);
    void retrieveAvailableChanged(bool available);
    void retrieveProgressChanged();
    // An error of the link or of a reply, once per run of the same error:
    // the window shows it in its error box, a program without one logs it.
    void errorRaised(const QString& message);
    // Every operation, queued or refused, with its origin.
    void operated(const qz7::Origin& origin, const QString& op, const qz7::Outcome& outcome);
    // A STOP took the transport commands still waiting off the stack before
    // it went out: by is the STOP's origin, count how many were removed and
    // removed how many of each operation ("ff" -> 2000, "play" -> 3).
    void superseded(const qz7::Origin& by, int count, const QMap<QString, int>& removed);
    // A line of the file, clip or cue list changed, or lines were appended.
    void listChanged(qz7::MediaList list);
    // An operation queued earlier was sent, confirmed, not confirmed or
    // superseded (report.final: nothing further comes for it).
    void outcomeReported(const qz7::OutcomeReport& report);
    // An alarm was raised (text), or acknowledged by origin.
    void alarmRaised(const QString& text);
    void alarmAcknowledged(const qz7::Origin& origin, const QString& text);

private:
    Outcome command(const Origin& origin, const std::string& op, std::vector<Packet> packets, Args args = {});
    Outcome refuse(const Origin& origin, const std::string& op, std::string why, Args args = {});
    std::string remoteRoom(const Origin& origin);
    // Reports every operation whose packets have all left the stack.
    void settle();
    void supersedeMotion(const Origin& by);
    void supersedeAll(const std::string& note);
    void checkConfirmations(bool statusReply);
    std::string silence() const;
    void raiseAlarm(const std::string& text);
    void onLinkState();
    void readNewFileName();
    void wireReplies();
    void onReply(const Reply& reply);
    void onStatus(const StatusReply& s);
    void onTickError(const QString& message);
    void raise(const QString& message);
    void refreshRetrieve();
    void finishRetrieve(bool cancelled = false);
    void answered(std::uint8_t code, int index);
    bool askAgain();
    void giveUpRetrieve();
    void trackBurst(int bottom);
    void setRetrieveAvailable(bool available);
    template <typename F>
    void guardedReply(F&& f);

    QString name_ = QStringLiteral("deck");
    std::unique_ptr<RecorderLink> link_;
    std::unique_ptr<MediaModel> media_;
    std::unique_ptr<MediaLines> lines_;
    std::unique_ptr<LinkMonitor> monitor_;
    std::unique_ptr<DeckSettings> settings_;
    DeckStatus status_;
    QString selectedHost_, selectedId_;
    QStringList discovered_;

    // The repeated-error filter: a text already raised since the last tick
    // that went well is not raised again.
    QStringList raised_;
    std::uint64_t lastErrorTurn_ = 0;

    bool retrieveAvailable_ = false;
    RetrieveProgressState retrieve_;
    int retrieveBottom_ = 0, retrieveLowest_ = 0;
    qint64 retrieveStartMs_ = 0;
    qint64 retrieveWentOutMs_ = -1;  // when the pass had left the stack
    Origin retrieveOrigin_;
    // The requests of the refresh not answered yet (sense code, entry), in queue order.
    std::vector<std::pair<std::uint8_t, int>> unanswered_;
    std::function<qint64()> clock_;

    // The operations with packets still on the stack, by the tag their slots
    // carry; the tag is the operation's id in its reports.
    struct Waiting {
        Origin origin;
        std::string who;  // origin.text()
        bool remote = false;
        std::string op;
        qint64 queuedMs = 0;
        std::string note;  // said with every report ("no reply from ...")
    };
    std::unordered_map<CommandStack::Tag, Waiting> waiting_;
    // Sent, waiting for the transport word that confirms them.
    struct Confirming {
        CommandStack::Tag id;
        Waiting op;
        std::string expected;
        qint64 sentMs = 0;
        int replies = 0;  // status replies since it left
    };
    std::vector<Confirming> confirming_;
    OutcomeReport report(CommandStack::Tag id, const Waiting& w, OutcomeReport::Stage stage, bool final,
                         std::string note) const;
    qint64 lastOwnMotionMs_;        // a transport command of ours last left (or Apply)
    LinkState linkWas_ = LinkState::Off;
    std::string alarm_;
    int newFile_ = 0;  // the file line our last REC added, until its name is asked for
    CommandStack::Tag nextTag_ = 1;
    // Last: it follows the members above and leaves before them.
    std::unique_ptr<DeckView> view_;
};

}  // namespace qz7
