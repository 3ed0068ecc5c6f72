#include "deck/deck.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdlib>
#include <utility>
#include <exception>
#include <map>
#include <set>
#include <unordered_set>

#include "deck/deck_settings.h"
#include "deck/deck_view.h"
#include "net/link_monitor.h"

namespace qz7 {

namespace {
qint64 monotonicMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

std::string number(int n) { return std::to_string(n); }

// What moves the transport: a STOP takes these off the stack, and one of
// them leaving for the recorder explains a recording that ends.
const std::set<std::string> kMotion{"play",     "stop",       "rec",       "ff",        "rew",
                                    "slow",     "jog",        "ee",        "pb",        "goto",
                                    "cue/cue",  "cue/search", "file/open", "clip/open", "seq/open"};
// While the recorder does not answer, the rest of kMotion is refused:
// nobody could tell whether it happened. Stopping (and the monitor choice)
// is always tried.
const std::set<std::string> kTriedWhileSilent{"stop", "ee", "pb"};

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
    return text;
}
}  // namespace

Deck::Deck(const DevicePair& devices, LinkTiming timing, QObject* parent)
    : QObject(parent),
      link_(std::make_unique<RecorderLink>(devices, timing)),
      media_(std::make_unique<MediaModel>()),
      lines_(std::make_unique<MediaLines>()),
      clock_(monotonicMs),
      lastOwnMotionMs_(-kOwnStopMs) {
    setObjectName(QStringLiteral("Deck"));
    lines_->setChanged([this](MediaList list) { emit listChanged(list); });
    media_->setObserver(lines_.get());
    monitor_ = std::make_unique<LinkMonitor>(*link_);
    connect(monitor_.get(), &LinkMonitor::changed, this, &Deck::onLinkState);
    settings_ = std::make_unique<DeckSettings>(*this);
    wireReplies();
    reset();
    view_ = std::make_unique<DeckView>(*this);
}

Deck::~Deck() {
    link_->pollDriver().stop();
    media_->setObserver(nullptr);
}

void Deck::start() { link_->pollDriver().start(); }
void Deck::shutdown() { link_->pollDriver().stop(); }

void Deck::reset() {
    link_->reset();
    supersedeAll("reset");
    status_.errorLatch = false;
    media_->reset();
}

int Deck::commandsWaiting() const { return link_->commandStack().count(); }
qint64 Deck::ticks() const { return link_->pollDriver().ticks(); }
qint64 Deck::droppedReplies() const { return link_->pollDriver().droppedReplies(); }

// A reply handler that fails (a list line that does not exist) ends there;
// the error is shown and the tick goes on.
template <typename F>
void Deck::guardedReply(F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        emit errorRaised(QString::fromUtf8(e.what()));
    }
}

void Deck::wireReplies() {
    RecorderLink* link = link_.get();
    connect(link, &RecorderLink::linkEnabledChanged, this, [this](bool on) {
        raised_.clear();
        emit linkEnabledChanged(on);
    });
    connect(link, &RecorderLink::tickError, this, &Deck::onTickError);
    connect(link, &RecorderLink::replyReceived, this, &Deck::onReply);
    connect(&link->pollDriver(), &PollDriver::tickFinished, this, &Deck::refreshRetrieve);
    connect(&link->pollDriver(), &PollDriver::tickFinished, this, [this] {
        settle();
        checkConfirmations(false);
    });
}

// Every reply the link decoded is applied here, one handler per kind. A
// handler that throws outside guardedReply ends the tick's handler and is
// shown as the tick's error.
void Deck::onReply(const Reply& reply) {
    MediaModel& m = *media_;
    std::visit(overloaded{
                   [&](const DiscoveryReply& r) {
                       const int n = static_cast<int>(discovered_.size());
                       if (n >= kMaxDeviceLines) return;
                       const QString address = QString::fromStdString(r.sender);
                       discovered_.append(address);
                       guardedReply([&] { emit discovered(n, address); });
                   },
                   [&](const TimecodeReply& r) {
                       const Timecode tc = Timecode::fromReply(r.frames, r.seconds, r.minutes, r.hours);
                       if (tc == status_.timecode) return;
                       status_.timecode = tc;
                       emit timecodeChanged(tc);
                   },
                   [&](const StatusReply& r) {
                       // The audio page's read-back first, as it always came.
                       settings_->takeStatus(r);
                       guardedReply([&] { onStatus(r); });
                   },
                   [&](const ErrorTextReply& r) {
                       status_.errorText = r.text;
                       status_.errorLine = errorLine(r.text);
                       emit errorLineChanged();
                       if (const std::string text = trimmed(r.text); !text.empty())
                           raiseAlarm("recorder error: " + text);
                   },
                   [&](const SystemReply& r) {
                       guardedReply([&] {
                           emit diskConfigurationReported(r.diskConfiguration);
                           m.applySystem(r.recordedFileCount);
                       });
                       // A recorder answered: "Retrieve" may go, but not while its burst is still going out.
                       if (!retrieve_.running) setRetrieveAvailable(true);
                   },
                   [&](const CueEntryReply& r) {
                       answered(Sense::CueEntry, r.cue);
                       guardedReply([&] { m.applyCueReply(r.cue, r.present, r.position, r.name); });
                   },
                   [&](const ClipEntryReply& r) {
                       answered(Sense::ClipEntry, r.clip);
                       guardedReply([&] { m.applyClipReply(r.clip, r.present, r.in, r.out, r.name); });
                   },
                   [&](const InhibitReply& r) {
                       answered(Sense::Inhibit, r.fileNumber);
                       guardedReply([&] { m.applyInhibit(r.fileNumber, r.flag); });
                   },
                   [&](const FileNameReply& r) {
                       answered(Sense::FileName, r.fileNumber);
                       guardedReply([&] { m.applyFileName(r.fileNumber, r.name); });
                   },
                   [&](const SequenceHeaderReply& r) {
                       answered(Sense::SequenceHeader, r.sequence);
                       guardedReply([&] { m.applySequenceHeader(r.sequence, r.blockCount, r.entryCount); });
                   },
                   [&](const SequenceBlockReply& r) {
                       guardedReply([&] { m.applySequenceBlock(r.sequence, r.block, r.steps); });
                   },
                   [&]<typename Page>(const SettingsAnswer<Page>& answer) { settings_->take(answer); },
               },
               reply);
}

void Deck::onStatus(const StatusReply& s) {
    DeckStatus& st = status_;
    // The transport word; a reply with no bit set leaves the last one.
    const std::string oldWord = st.transport;
    if (std::string word = transportWord(s); !word.empty()) st.transport = std::move(word);
    st.rec = st.transport == "REC";
    if (std::string ref = referenceWord(s.reference); !ref.empty()) st.reference = std::move(ref);
    st.standard = standardText(s.standard);
    st.quality = qualityText(s.quality);
    st.frameBase = frameBase(s.standard);

    // The error flag: its text is asked for once per rising flag, and the
    // error line clears when the flag goes.
    const bool error = (s.quality & 0x20) != 0;
    bool errorLine = false;
    if (error && !st.errorLatch) {
        st.errorLatch = true;
        submit(Origin::recorder(), "error/text", {cmd::errorTextRequest()}, false);
    } else if (!error && st.errorLatch) {
        st.errorLatch = false;
        st.errorText.clear();
        st.errorLine = " ";
        errorLine = true;
    }
    st.number = numberLine(s);

    if (st.transport != oldWord) emit transportChanged(QString::fromStdString(st.transport));
    emit statusChanged();
    if (errorLine) emit errorLineChanged();
    checkConfirmations(true);
    // A recording that ends with no transport command of ours on its way.
    if (oldWord == "REC" && !st.rec && waiting_.empty() && confirming_.empty() &&
        clock_() - lastOwnMotionMs_ > kOwnStopMs)
        raiseAlarm("REC stopped without a stop command: recorder shows " + st.transport);
}

// Errors come only from ticks, so a turn skipped since the last one was a
// tick that raised nothing: the run of failing ticks is over.
void Deck::onTickError(const QString& message) {
    const std::uint64_t turn = link_->pollCycle().turns();
    if (turn > lastErrorTurn_ + 1) raised_.clear();
    lastErrorTurn_ = turn;
    raise(message);
}

void Deck::raise(const QString& message) {
    if (raised_.contains(message)) return;
    raised_.append(message);
    emit errorRaised(message);
}

// --- the one way onto the command stack

Outcome Deck::submit(const Origin& origin, const std::string& op, std::vector<Packet> packets, bool needsLink,
                     Args args) {
    if (needsLink && !link_->linkEnabled()) return refuse(origin, op, "link off", std::move(args));
    const std::string silent = silence();
    if (!silent.empty() && kMotion.count(op) && !kTriedWhileSilent.count(op))
        return refuse(origin, op, silent, std::move(args));
    CommandStack& stack = link_->commandStack();
    const bool stopping = op == "stop";
    if (stopping) supersedeMotion(origin);
    const bool remote = origin.kind == Origin::Kind::Osc || origin.kind == Origin::Kind::Web;
    // A STOP is never held back by a quota: it has just made room of its own.
    if (remote && !stopping) {
        std::string why = remoteRoom(origin);
        if (!why.empty()) return refuse(origin, op, std::move(why), std::move(args));
    }
    // All of an operation's packets or none: a transfer cut in half would
    // leave the recorder with half a sequence.
    if (stack.count() + static_cast<int>(packets.size()) > CommandStack::kCapacity) {
        Outcome o = Outcome::refused("Command stack full: " + std::to_string(CommandStack::kCapacity) +
                                     " commands are waiting; the new command was not queued.");
        o.stackFull = true;
        o.args = std::move(args);
        emit operated(origin, QString::fromStdString(op), o);
        return o;
    }
    const CommandStack::Tag tag = nextTag_++;
    waiting_[tag] = {origin, origin.text(), remote, op, clock_(), kMotion.count(op) ? silent : std::string()};
    for (const Packet& p : packets) stack.queue(p, tag);
    Outcome o;
    o.packets = std::move(packets);
    o.args = std::move(args);
    o.id = tag;
    emit operated(origin, QString::fromStdString(op), o);
    return o;
}

// Why a remote origin may not queue one more operation, or "" when it may.
// Counting operations, not packets: a Retrieve is one operation of 1 256.
std::string Deck::remoteRoom(const Origin& origin) {
    settle();
    const std::string who = origin.text();
    int mine = 0, remotes = 0;
    for (const auto& [tag, w] : waiting_) {
        if (!w.remote) continue;
        ++remotes;
        if (w.who == who) ++mine;
    }
    if (mine >= kOpsPerRemoteOrigin)
        return std::to_string(mine) + " commands from " + who +
               " are still waiting; the new command was not queued";
    if (remotes >= kRemoteOps)
        return "remote clients have " + std::to_string(remotes) +
               " commands waiting; the new command was not queued";
    return {};
}

// Every operation whose packets have all left the stack is reported sent,
// in the order it was queued; those the transport word can show wait for it.
// With the link off the poll cycle drops what it takes off the stack unsent.
void Deck::settle() {
    if (waiting_.empty()) return;
    const CommandStack& stack = link_->commandStack();
    std::unordered_set<CommandStack::Tag> live;
    for (int i = 0; i < stack.count(); ++i) live.insert(stack.tagAt(i));
    std::vector<std::pair<CommandStack::Tag, Waiting>> gone;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        if (live.count(it->first)) {
            ++it;
            continue;
        }
        gone.emplace_back(it->first, std::move(it->second));
        it = waiting_.erase(it);
    }
    std::sort(gone.begin(), gone.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    const bool on = link_->linkEnabled();
    for (auto& [id, w] : gone) {
        if (!on) {
            emit outcomeReported(report(id, w, OutcomeReport::Stage::Superseded, true, "link off: not sent"));
            continue;
        }
        const std::string expected = confirmingWord(w.op);
        if (kMotion.count(w.op)) {
            lastOwnMotionMs_ = clock_();
            // A transport command that follows one still waiting for its word
            // takes the recorder elsewhere: the earlier one will never show.
            std::vector<Confirming> overtaken;
            overtaken.swap(confirming_);
            for (const Confirming& c : overtaken)
                emit outcomeReported(report(c.id, c.op, OutcomeReport::Stage::Superseded, true, "overtaken by " + w.op));
        }
        emit outcomeReported(report(id, w, OutcomeReport::Stage::Sent, expected.empty(), w.note));
        if (!expected.empty()) confirming_.push_back({id, std::move(w), expected, clock_(), 0});
    }
}

// The operations waiting for their word, judged on a status reply (a match
// confirms at once) or by age: after kConfirmReplies replies and kConfirmMs,
// or at kConfirmLimitMs from a recorder that answers less or not at all.
void Deck::checkConfirmations(bool statusReply) {
    if (confirming_.empty()) return;
    const qint64 now = clock_();
    std::vector<Confirming> waiting;
    std::vector<OutcomeReport> done;
    for (Confirming& c : confirming_) {
        if (statusReply) {
            if (status_.transport == c.expected) {
                done.push_back(report(c.id, c.op, OutcomeReport::Stage::Confirmed, true, c.op.note));
                continue;
            }
            ++c.replies;
        }
        const qint64 age = now - c.sentMs;
        if ((c.replies >= kConfirmReplies && age >= kConfirmMs) || age >= kConfirmLimitMs) {
            std::string note = c.op.note;
            if (note.empty()) note = silence();
            if (note.empty() && c.replies < kConfirmReplies)
                note = std::to_string(c.replies) + " status replies in " + std::to_string(age) + " ms";
            done.push_back(report(c.id, c.op, OutcomeReport::Stage::NotConfirmed, true, std::move(note)));
            continue;
        }
        waiting.push_back(std::move(c));
    }
    confirming_.swap(waiting);
    for (const OutcomeReport& r : done) {
        if (r.op == "rec" && r.stage == OutcomeReport::Stage::Confirmed) readNewFileName();
        emit outcomeReported(r);
    }
}

// Our REC took: the file the status names is the line the REC added, and its
// name is asked for at once, so the list shows it without a Retrieve.
void Deck::readNewFileName() {
    const int line = std::exchange(newFile_, 0);
    if (status_.number.caption != "REC FILE :" || line < 1 || line > kTableSize) return;
    if (std::atoi(status_.number.number.c_str()) != line) return;
    submit(Origin::recorder(), "file/read", {cmd::entryRequest(Sense::FileName, line)}, false,
           {{"number", std::int64_t{line}}});
}

OutcomeReport Deck::report(CommandStack::Tag id, const Waiting& w, OutcomeReport::Stage stage, bool final,
                           std::string note) const {
    OutcomeReport r;
    r.id = id;
    r.group = w.origin.group;
    r.origin = w.origin;
    r.op = w.op;
    r.stage = stage;
    r.final = final;
    r.transport = status_.transport;
    r.expected = confirmingWord(w.op);
    r.ms = clock_() - w.queuedMs;
    r.note = std::move(note);
    return r;
}

// "no reply from 10.0.5.31 for 3 s" while the selected recorder is silent, else "".
std::string Deck::silence() const {
    if (monitor_->state() != LinkState::NoReply) return {};
    return "no reply from " + monitor_->address().toStdString() + " for " + std::to_string(monitor_->silentSeconds()) +
           " s";
}

// Everything still waiting or unconfirmed ends here (the stack was cleared).
void Deck::supersedeAll(const std::string& note) {
    std::vector<std::pair<CommandStack::Tag, Waiting>> gone(waiting_.begin(), waiting_.end());
    waiting_.clear();
    std::sort(gone.begin(), gone.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Confirming> confirming;
    confirming.swap(confirming_);
    for (const Confirming& c : confirming)
        emit outcomeReported(report(c.id, c.op, OutcomeReport::Stage::Superseded, true, note));
    for (const auto& [id, w] : gone) emit outcomeReported(report(id, w, OutcomeReport::Stage::Superseded, true, note));
}

void Deck::raiseAlarm(const std::string& text) {
    alarm_ = text;
    emit alarmRaised(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

// The link falling silent while the recorder records is an alarm of its own:
// nobody can see whether the recording goes on.
void Deck::onLinkState() {
    const LinkState state = monitor_->state();
    if (state == LinkState::NoReply && linkWas_ != LinkState::NoReply && status_.rec)
        raiseAlarm("link lost while recording: no reply from " + monitor_->address().toStdString());
    linkWas_ = state;
}

// Stop means stop now. The stack goes last in, first out, so whatever moves
// the transport and still waits under a STOP would follow it onto the wire:
// a play, a wind or a search queued before the STOP is taken off instead,
// and so is an earlier STOP, which this one makes needless.
void Deck::supersedeMotion(const Origin& by) {
    CommandStack& stack = link_->commandStack();
    QMap<QString, int> removedOps;
    std::set<CommandStack::Tag> removedTags;
    const std::vector<int> removed = stack.removeIf([&](CommandStack::Tag tag) {
        const auto it = waiting_.find(tag);
        if (it == waiting_.end() || kMotion.count(it->second.op) == 0) return false;
        ++removedOps[QString::fromStdString(it->second.op)];
        removedTags.insert(tag);
        return true;
    });
    if (removed.empty()) return;
    const std::string note = "superseded by stop from " + by.text();
    for (const CommandStack::Tag tag : removedTags) {
        const auto it = waiting_.find(tag);
        const Waiting w = std::move(it->second);
        waiting_.erase(it);
        emit outcomeReported(report(tag, w, OutcomeReport::Stage::Superseded, true, note));
    }
    // A Retrieve's burst is tracked by stack positions: those below it moved down.
    if (retrieve_.running) {
        const auto below = [&removed](int position) {
            return static_cast<int>(std::lower_bound(removed.begin(), removed.end(), position) - removed.begin());
        };
        retrieveBottom_ -= below(retrieveBottom_);
        retrieveLowest_ -= below(retrieveLowest_);
    }
    emit superseded(by, static_cast<int>(removed.size()), removedOps);
}

Outcome Deck::command(const Origin& origin, const std::string& op, std::vector<Packet> packets, Args args) {
    return submit(origin, op, std::move(packets), true, std::move(args));
}

Outcome Deck::refuse(const Origin& origin, const std::string& op, std::string why, Args args) {
    Outcome o = Outcome::refused(std::move(why));
    o.args = std::move(args);
    emit operated(origin, QString::fromStdString(op), o);
    return o;
}

// --- device

Outcome Deck::apply(int line, const Origin& origin) {
    const DevicePair& d = link_->devices();
    const bool second = line == 1 && !d.single;
    selectedHost_ = second ? d.second : d.first;
    selectedId_ = knownIdCode(selectedHost_);
    // Another recorder's word is no news about a recording.
    lastOwnMotionMs_ = clock_();
    const int before = link_->commandStack().count();
    link_->apply(selectedHost_, second ? d.first : d.second);
    finishRetrieve(true);
    emit applied();
    Outcome o;
    o.args = {{"line", std::int64_t{line}}};
    for (int i = before; i < link_->commandStack().count(); ++i) o.packets.push_back(link_->commandStack().at(i));
    emit operated(origin, QStringLiteral("apply"), o);
    return o;
}

Outcome Deck::scan(const Origin& origin) {
    discovered_.clear();
    link_->stop();
    Outcome o;
    emit operated(origin, QStringLiteral("scan"), o);
    return o;
}

// 512 blank lines per list, then the whole refresh, queued so that it goes
// out sequence headers first and cue entries last.
Outcome Deck::retrieve(const Origin& origin) {
    if (!link_->linkEnabled()) return refuse(origin, "retrieve", "link off");
    if (retrieve_.running) return refuse(origin, "retrieve", "a retrieve is still going out");
    // The file table has 512 rows; a larger count asks for those only.
    const int files = std::clamp(media_->recordedFileCount(), 0, kTableSize);
    std::vector<std::pair<std::uint8_t, int>> asked;
    for (int i = 0; i < MediaModel::kRetrievedEntries; ++i) asked.emplace_back(Sense::CueEntry, i);
    for (int i = 0; i < MediaModel::kRetrievedEntries; ++i) asked.emplace_back(Sense::ClipEntry, i);
    for (int i = 1; i <= files; ++i) asked.emplace_back(Sense::FileName, i);
    for (int i = 1; i <= files; ++i) asked.emplace_back(Sense::Inhibit, i);
    for (int s = 0; s < kSequenceCount; ++s) asked.emplace_back(Sense::SequenceHeader, s);
    std::vector<Packet> burst;
    for (const auto& [code, index] : asked)
        burst.push_back(code == Sense::SequenceHeader ? cmd::sequenceHeaderRequest(index) : cmd::entryRequest(code, index));

    const int bottom = link_->commandStack().count();
    // The lists are blanked only for a burst that fits on the stack.
    if (bottom + static_cast<int>(burst.size()) <= CommandStack::kCapacity) media_->beginRetrieve();
    const Args args{{"requests", static_cast<std::int64_t>(burst.size())}};
    Outcome o = command(origin, "retrieve", std::move(burst), args);
    if (!o.queued()) return o;
    retrieve_ = {};
    retrieve_.running = true;
    retrieveOrigin_ = origin;
    unanswered_ = std::move(asked);
    retrieveStartMs_ = clock_();
    trackBurst(bottom);
    setRetrieveAvailable(false);
    emit retrieveProgressChanged();
    return o;
}

void Deck::trackBurst(int bottom) {
    retrieveBottom_ = bottom;
    retrieveLowest_ = link_->commandStack().count();
    retrieveWentOutMs_ = -1;
    retrieve_.total = retrieveLowest_ - retrieveBottom_;
    retrieve_.sent = 0;
}

void Deck::answered(std::uint8_t code, int index) {
    if (!retrieve_.running) return;
    const auto it = std::find(unanswered_.begin(), unanswered_.end(), std::make_pair(code, index));
    if (it != unanswered_.end()) unanswered_.erase(it);
}

// Commands queued after the burst sit above it and go first (last in, first
// out); the burst shrinks only when the stack falls below its top, so the
// lowest count seen is what is left of it. Once it has gone out, the last
// answers get a grace second; what is still unanswered is asked again.
void Deck::refreshRetrieve() {
    if (!retrieve_.running) return;
    retrieveLowest_ = std::min(retrieveLowest_, link_->commandStack().count());
    retrieve_.elapsedMs = clock_() - retrieveStartMs_;
    if (retrieveLowest_ > retrieveBottom_) {
        const int sent = retrieve_.total - (retrieveLowest_ - retrieveBottom_);
        if (sent == retrieve_.sent) return;
        retrieve_.sent = sent;
        emit retrieveProgressChanged();
        return;
    }
    if (unanswered_.empty()) {
        finishRetrieve();
        return;
    }
    if (retrieveWentOutMs_ < 0) {
        retrieveWentOutMs_ = clock_();
        retrieve_.sent = retrieve_.total;
        emit retrieveProgressChanged();
        return;
    }
    if (clock_() - retrieveWentOutMs_ < kRetrieveGraceMs) return;
    if (retrieve_.pass < kRetrievePasses && askAgain()) return;
    giveUpRetrieve();
}

// The same requests, bytes unchanged, in the order the burst had them.
bool Deck::askAgain() {
    std::vector<Packet> again;
    for (const auto& [code, index] : unanswered_)
        again.push_back(code == Sense::SequenceHeader ? cmd::sequenceHeaderRequest(index) : cmd::entryRequest(code, index));
    const int bottom = link_->commandStack().count();
    if (!submit(retrieveOrigin_, "retrieve/again", std::move(again), true).queued()) return false;
    ++retrieve_.pass;
    trackBurst(bottom);
    emit retrieveProgressChanged();
    return true;
}

void Deck::giveUpRetrieve() {
    std::vector<int> files, clips, cues, sequences;
    for (const auto& [code, index] : unanswered_) {
        switch (code) {
        case Sense::FileName:
        case Sense::Inhibit:
            if (std::find(files.begin(), files.end(), index) == files.end()) files.push_back(index);
            break;
        case Sense::ClipEntry: clips.push_back(index); break;
        case Sense::CueEntry: cues.push_back(index); break;
        default: sequences.push_back(index); break;
        }
    }
    std::string text;
    const auto part = [&text](const char* what, std::vector<int> numbers) {
        if (numbers.empty()) return;
        std::sort(numbers.begin(), numbers.end());
        if (!text.empty()) text += "; ";
        text += what;
        for (std::size_t i = 0; i < numbers.size(); ++i) text += (i ? ", " : " ") + std::to_string(numbers[i]);
    };
    part("files", files);
    part("clips", clips);
    part("cues", cues);
    part("sequences", sequences);
    retrieve_.running = false;
    retrieve_.incomplete = true;
    retrieve_.missing = static_cast<int>(files.size() + clips.size() + cues.size() + sequences.size());
    retrieve_.missingText = text;
    unanswered_.clear();
    emit retrieveProgressChanged();
    setRetrieveAvailable(true);
}

void Deck::finishRetrieve(bool cancelled) {
    const bool shown = retrieve_.running || retrieve_.incomplete;
    const bool was = retrieve_.running;
    retrieve_ = {};
    retrieve_.cancelled = cancelled && was;
    unanswered_.clear();
    retrieveBottom_ = retrieveLowest_ = 0;
    if (shown) emit retrieveProgressChanged();
    if (was) setRetrieveAvailable(true);
}

// Told every time, not only on a change: the window's button follows this alone.
void Deck::setRetrieveAvailable(bool available) {
    retrieveAvailable_ = available;
    emit retrieveAvailableChanged(available);
}

// --- transport

Outcome Deck::play(const Origin& o) { return command(o, "play", {cmd::play()}); }
Outcome Deck::stop(bool lock, const Origin& o) {
    return command(o, "stop", {cmd::stop(lock)}, {{"lock", std::int64_t{lock ? 1 : 0}}});
}

// The new file shows its number at once; its name comes with the recorder's answer.
Outcome Deck::record(const Origin& o) {
    Outcome out = command(o, "rec", {cmd::record()});
    if (out.queued()) newFile_ = media_->recordStarted();
    return out;
}

namespace {
Arg directionArg(Direction d) { return {"direction", std::int64_t{d == Direction::Forward ? 1 : -1}}; }
Arg numberArg(int n) { return {"number", std::int64_t{n}}; }
}  // namespace

Outcome Deck::wind(Direction direction, int item, const Origin& o) {
    const char* op = direction == Direction::Forward ? "ff" : "rew";
    Args args{{"item", std::int64_t{item}}};
    if (!linkEnabled()) return refuse(o, op, "link off", std::move(args));
    // An item past the speed table runs at the last speed, as the panel's box always has.
    if (item < 0) return refuse(o, op, "no FF/RWD speed item " + number(item) + " (0..4)", std::move(args));
    return command(o, op, {cmd::wind(direction, item)}, std::move(args));
}

Outcome Deck::slow(Direction direction, int item, const Origin& o) {
    Args args{directionArg(direction), {"item", std::int64_t{item}}};
    if (!linkEnabled()) return refuse(o, "slow", "link off", std::move(args));
    if (item < 0 || item >= static_cast<int>(cmd::kSlowSpeeds.size()))
        return refuse(o, "slow", "no slow speed item " + number(item) + " (0..8)", std::move(args));
    return command(o, "slow", {cmd::slow(direction, item)}, std::move(args));
}

Outcome Deck::jog(Direction direction, const Origin& o) {
    return command(o, "jog", {cmd::jog(direction)}, {directionArg(direction)});
}
Outcome Deck::monitorEE(const Origin& o) { return command(o, "ee", {cmd::monitorEE()}); }
Outcome Deck::monitorPB(const Origin& o) { return command(o, "pb", {cmd::monitorPB()}); }

Outcome Deck::errorReset(const Origin& o) {
    if (!status_.errorLatch) return refuse(o, "error/reset", "the recorder reports no error");
    return submit(o, "error/reset", {cmd::errorReset()}, false);
}

// --- opening

Outcome Deck::openFile(int n, const Origin& o) {
    if (!linkEnabled()) return refuse(o, "file/open", "link off", {numberArg(n)});
    const int count = media_->recordedFileCount();
    if (n < 1 || n > count)
        return refuse(o, "file/open", "no file " + number(n) + " (recorded files: " + number(count) + ")", {numberArg(n)});
    return command(o, "file/open", {cmd::openFile(n)}, {numberArg(n)});
}

Outcome Deck::openClip(int k, const Origin& o) {
    if (!linkEnabled()) return refuse(o, "clip/open", "link off", {numberArg(k)});
    if (k < 0 || k >= media_->clipCount()) return refuse(o, "clip/open", "no clip " + number(k), {numberArg(k)});
    return command(o, "clip/open", {cmd::openClip(k)}, {numberArg(k)});
}

Outcome Deck::openSequence(int s, const Origin& o) {
    if (!linkEnabled()) return refuse(o, "seq/open", "link off", {numberArg(s)});
    if (!media_->sequenceListed(s)) return refuse(o, "seq/open", "no sequence " + number(s), {numberArg(s)});
    return command(o, "seq/open", {cmd::openSequence(s)}, {numberArg(s)});
}

// --- cues

// Freed slots are filled again before higher ones.
Outcome Deck::markCue(const Origin& o) {
    if (!link_->linkEnabled()) return refuse(o, "cue/mark", "link off");
    const int k = media_->markCue(status_.timecode);
    if (k < 0) return refuse(o, "cue/mark", "every cue slot is in use");
    Outcome out = command(o, "cue/mark", {cueWrite(k, media_->cue(k), 0x01)},
                          {numberArg(k), {"timecode", status_.timecode.text()}});
    out.index = k;
    return out;
}

// Only the first (cue count) lines can be searched: the count is what the
// recorder reported, so a cue above a gap is shown but not reachable.
Outcome Deck::searchCue(int k, bool preroll, const Origin& o) {
    const char* op = preroll ? "cue/cue" : "cue/search";
    if (!linkEnabled()) return refuse(o, op, "link off", {numberArg(k)});
    if (k < 0 || k >= media_->cueCount()) return refuse(o, op, "no cue " + number(k), {numberArg(k)});
    return command(o, op, {cmd::goToCue(k, preroll ? 0x01 : 0x00)}, {numberArg(k)});
}

Outcome Deck::goTo(const std::string& text, const Origin& o) {
    const Args args{{"timecode", text}};
    if (!linkEnabled()) return refuse(o, "goto", "link off", args);
    const std::optional<Timecode> tc = Timecode::parse(text);
    if (!tc) return refuse(o, "goto", "not a timecode hh:mm:ss:ff: '" + text + "'", args);
    if (!tc->inRange(status_.frameBase))
        return refuse(o, "goto",
                      "no such time: '" + text + "' (hours 00-23, minutes and seconds 00-59, frames below " +
                          number(status_.frameBase) + ")",
                      args);
    return command(o, "goto", {cmd::timecodeSearch(tc->bytes())}, args);
}

Outcome Deck::searchPosition(const Timecode& position, const Origin& o) {
    return command(o, "goto", {cmd::timecodeSearch(position.bytes())}, {{"timecode", position.text()}});
}

Outcome Deck::cueTypedPosition(int h, int m, int s, int f, int preroll, const Origin& o) {
    const Args args{{"timecode", Timecode::fromBytes({toBcd(f), toBcd(s), toBcd(m), toBcd(h)}).text()},
                    {"preroll", std::int64_t{preroll}}};
    for (long long i = 0, steps = static_cast<long long>(preroll) * 30; i < steps; ++i) {
        if (--f >= 0) continue;
        f = 29;
        if (--s >= 0) continue;
        s = 59;
        if (--m >= 0) continue;
        m = 59;
        if (--h < 0) h = 23;
    }
    return command(o, "goto", {cmd::timecodeSearch({toBcd(f), toBcd(s), toBcd(m), toBcd(h)})}, args);
}

// The cue count stays: it counts what the recorder reported, not free slots.
Outcome Deck::deleteCue(int k, const Origin& o) {
    if (k < 0 || k >= kTableSize) return refuse(o, "cue/delete", "no cue slot " + number(k), {numberArg(k)});
    return submit(o, "cue/delete", {cueWrite(k, media_->deleteCue(k), 0x00)}, false, {numberArg(k)});
}

Outcome Deck::editCue(int k, const Timecode& position, const std::string& name, const Origin& o) {
    const Args args{numberArg(k), {"timecode", position.text()}, {"name", name}};
    if (k < 0 || k >= kTableSize || media_->cue(k).used == 0) return refuse(o, "cue/edit", "no cue " + number(k), args);
    return submit(o, "cue/edit", {cueWrite(k, media_->editCue(k, position, name), 0x01)}, false, args);
}

// --- files

// Queued name first: the stack sends the inhibit write before it.
Outcome Deck::editFile(int n, const std::string& name, std::uint8_t inhibit, const Origin& o) {
    const Args args{numberArg(n), {"name", name}, {"inhibit", std::int64_t{inhibit}}};
    if (n < 1 || n > kTableSize) return refuse(o, "file/edit", "no file " + number(n), args);
    Outcome out = submit(o, "file/edit", {cmd::fileNameWrite(n, name), cmd::inhibitWrite(n, inhibit)}, false, args);
    if (out.queued()) media_->editFile(n - 1, name, inhibit);
    return out;
}

// The erased file's table entry keeps its name and flag; only its line goes blank.
Outcome Deck::eraseLastFile(const Origin& o) {
    if (media_->recordedFileCount() <= 0) return refuse(o, "file/erase-last", "no recorded file");
    Outcome out = submit(o, "file/erase-last", {cmd::eraseLastFile()}, false);
    if (out.queued()) media_->eraseLastFile();
    return out;
}

// --- clips

Outcome Deck::saveClip(int k, const ClipEntry& edited, const Origin& o) {
    if (k < 0 || k >= kTableSize) return refuse(o, "clip/save", "no clip slot " + number(k), {numberArg(k)});
    return submit(o, "clip/save", {clipWrite(k, media_->saveClip(k, edited), 0x01)}, false, {numberArg(k)});
}

Outcome Deck::deleteClip(int k, const Origin& o) {
    if (k < 0 || k >= kTableSize) return refuse(o, "clip/delete", "no clip slot " + number(k), {numberArg(k)});
    return submit(o, "clip/delete", {clipWrite(k, media_->deleteClip(k), 0x00)}, false, {numberArg(k)});
}

// --- sequences

Outcome Deck::saveSequence(int s, int listed, const SequenceRecord& edited, const Origin& o) {
    if (s < 0 || s >= kSequenceCount || listed < 0 || listed >= kSequenceCount)
        return refuse(o, "seq/save", "no sequence " + number(s), {numberArg(s)});
    media_->listSequence(listed);
    return submit(o, "seq/save", sequenceTransfer(s, media_->saveSequence(s, edited)), false, {numberArg(s)});
}

// Deletes the sequence on the recorder. The table keeps it until the next
// header reply or "Clear Seq ".
Outcome Deck::deleteSequence(int s, const Origin& o) {
    if (s < 0 || s >= kSequenceCount) return refuse(o, "seq/delete", "no sequence " + number(s), {numberArg(s)});
    media_->unlistSequence(s);
    return submit(o, "seq/delete", {cmd::deleteSequence(s)}, false, {numberArg(s)});
}

Outcome Deck::requestSequenceBlocks(const Origin& o) {
    std::vector<Packet> requests;
    for (int i = 0; i < kSequenceCount; ++i) {
        const SequenceRecord& r = media_->sequence(i);
        if (r.entryCount == 0) continue;
        // The count as the recorder reported it, read as a signed byte. No
        // sequence has more than 26 blocks; a larger count would only flood
        // the command stack with requests whose answers are dropped.
        const int blocks = std::min<int>(static_cast<std::int8_t>(r.blockCount), kSequenceSteps / 5);
        for (int j = 0; j < blocks; ++j) requests.push_back(cmd::sequenceBlockRequest(i, j));
    }
    // As a page read-back: queued whether or not the link is on.
    return submit(o, "seq/read", std::move(requests), false);
}

// --- list edits, the clear menu and the disks. The window offers these
// before "Apply" too; what they queue goes out once the link is on.
// The clear menu wipes the table and its lists here, then one command goes;
// the recorder's lists are not asked for again.

Outcome Deck::clearCues(const Origin& o) {
    media_->clearCues();
    return submit(o, "clear/cues", {cmd::clearCues()}, false);
}

Outcome Deck::clearClips(const Origin& o) {
    media_->clearClips();
    return submit(o, "clear/clips", {cmd::clearClips()}, false);
}

Outcome Deck::clearSequences(const Origin& o) {
    media_->clearSequences();
    return submit(o, "clear/sequences", {cmd::clearSequences()}, false);
}

Outcome Deck::eraseDisks(int raidItem, const Origin& o) {
    return submit(o, "disks/erase", {cmd::eraseDisks(static_cast<std::uint8_t>(raidItem))}, false,
                  {{"raid", std::int64_t{raidItem}}});
}

// --- outcomes and alarms

std::string Deck::confirmingWord(const std::string& op) {
    static const std::map<std::string, std::string> words{
        {"play", "PLAY"}, {"rec", "REC"}, {"stop", "STOP"}, {"ff", "F.FWD"},
        {"rew", "RWD"},   {"slow", "VAR"}, {"jog", "JOG"}};
    const auto it = words.find(op);
    return it == words.end() ? std::string() : it->second;
}

Outcome Deck::acknowledgeAlarm(const Origin& origin) {
    if (alarm_.empty()) return refuse(origin, "alarm/ack", "no alarm is raised");
    const std::string held = std::move(alarm_);
    alarm_.clear();
    const QString text = QString::fromLatin1(held.data(), static_cast<qsizetype>(held.size()));
    Outcome o;
    o.args = {{"alarm", held}};
    emit operated(origin, QStringLiteral("alarm/ack"), o);
    emit alarmAcknowledged(origin, text);
    return o;
}

}  // namespace qz7
