#include "remote/metrics.h"

#include <QString>
#include <algorithm>
#include <functional>

#include "deck/deck.h"
#include "deck/deck_view.h"
#include "log/event_log.h"
#include "net/link_monitor.h"

namespace qz7 {

namespace {

// A label value: UTF-8 with backslash, quote and newline escaped; anything
// else would make the scraper refuse the whole page.
QByteArray label(const QString& value) {
    QByteArray out;
    const QByteArray utf8 = value.toUtf8();
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\n': out += "\\n"; break;
        default: out += c;
        }
    }
    return out;
}

// The recorder's words are Latin-1 bytes; the exposition is UTF-8.
QByteArray label(const std::string& latin1) {
    return label(QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size())));
}

void family(QByteArray& out, const char* name, const char* type, const char* help) {
    out += "# HELP ";
    out += name;
    out += ' ';
    out += help;
    out += "\n# TYPE ";
    out += name;
    out += ' ';
    out += type;
    out += '\n';
}

void sample(QByteArray& out, const char* name, const QByteArray& labels, qint64 value) {
    out += name;
    out += '{';
    out += labels;
    out += "} ";
    out += QByteArray::number(value);
    out += '\n';
}

std::size_t outcomeIndex(OutcomeReport::Stage stage) {
    switch (stage) {
    case OutcomeReport::Stage::Sent: return 1;
    case OutcomeReport::Stage::Confirmed: return 2;
    case OutcomeReport::Stage::NotConfirmed: return 3;
    case OutcomeReport::Stage::Superseded: return 4;
    }
    return 1;
}

}  // namespace

Metrics::Metrics(QObject* parent) : QObject(parent) {}

Metrics::~Metrics() = default;

void Metrics::attach(Deck& deck) {
    const QObject* key = &deck;
    if (decks_.count(key)) return;
    auto f = std::make_unique<Followed>();
    f->deck = &deck;
    Followed* followed = f.get();
    decks_[key] = std::move(f);
    // The connections end with the deck or with these metrics, whichever goes first.
    connect(&deck, &QObject::destroyed, this, [this, key] { decks_.erase(key); });
    connect(&deck, &Deck::operated, this, [this, followed](const Origin& origin, const QString&, const Outcome& o) {
        if (!o.queued()) count(*followed, origin, 0);
    });
    connect(&deck, &Deck::outcomeReported, this, [this, followed](const OutcomeReport& r) {
        if (r.final) count(*followed, r.origin, outcomeIndex(r.stage));
    });
    connect(&deck, &Deck::retrieveProgressChanged, this, [followed, &deck] {
        const bool incomplete = deck.retrieveProgress().incomplete;
        if (incomplete && !followed->incomplete) ++followed->retrievesIncomplete;
        followed->incomplete = incomplete;
    });
}

void Metrics::count(Followed& f, const Origin& origin, std::size_t outcome) {
    const auto kind = static_cast<std::size_t>(origin.kind);
    if (kind < kOrigins) ++f.operations[kind][outcome];
}

QByteArray Metrics::render() const {
    struct Shown {
        QByteArray name;  // the escaped deck label
        QByteArray labels;
        const Followed* f;
        Deck* deck;
    };
    std::vector<Shown> shown;
    shown.reserve(decks_.size());
    for (const auto& [key, f] : decks_) {
        if (!f->deck) continue;
        QByteArray name = label(f->deck->name());
        shown.push_back({name, "deck=\"" + name + '"', f.get(), f->deck.data()});
    }
    std::sort(shown.begin(), shown.end(), [](const Shown& a, const Shown& b) { return a.name < b.name; });

    QByteArray out;
    out.reserve(512 + static_cast<qsizetype>(shown.size()) * 4096);
    auto gauge = [&](const char* name, const char* help, const std::function<qint64(const Shown&)>& value) {
        family(out, name, "gauge", help);
        for (const Shown& s : shown) sample(out, name, s.labels, value(s));
    };
    gauge("qz7_deck_link_up", "1 while the selected recorder answers (link OK), 0 when off or silent.",
          [](const Shown& s) { return s.deck->view().state().link == "OK" ? 1 : 0; });
    gauge("qz7_deck_seconds_since_reply",
          "Whole seconds without a reply from the selected recorder while its link is NO REPLY (from the last reply, "
          "or from Apply when none came); 0 otherwise.",
          [](const Shown& s) { return s.deck->monitor().silentSeconds(); });
    gauge("qz7_deck_recording", "1 while the recorder reports REC.",
          [](const Shown& s) { return s.deck->view().state().rec ? 1 : 0; });
    gauge("qz7_deck_alarm", "1 while an alarm is raised and not acknowledged.",
          [](const Shown& s) { return s.deck->alarm().empty() ? 0 : 1; });

    family(out, "qz7_deck_transport", "gauge", "The transport word the recorder last reported, as a label; always 1.");
    for (const Shown& s : shown) {
        const std::string& word = s.deck->view().state().transport;
        if (!word.empty()) sample(out, "qz7_deck_transport", s.labels + ",transport=\"" + label(word) + '"', 1);
    }

    family(out, "qz7_deck_replies_dropped_total", "counter",
           "Replies read and dropped because newer ones were waiting at the end of a poll tick.");
    for (const Shown& s : shown)
        sample(out, "qz7_deck_replies_dropped_total", s.labels, s.deck->droppedReplies());
    family(out, "qz7_deck_retrieves_incomplete_total", "counter",
           "Retrieves that ended with entries the recorder never answered.");
    for (const Shown& s : shown)
        sample(out, "qz7_deck_retrieves_incomplete_total", s.labels, static_cast<qint64>(s.f->retrievesIncomplete));

    family(out, "qz7_operations_total", "counter",
           "Operations by origin and outcome: refused at once, or the final report of one queued.");
    for (const Shown& s : shown)
        for (std::size_t k = 0; k < kOrigins; ++k)
            for (std::size_t o = 0; o < kOutcomes.size(); ++o)
                sample(out, "qz7_operations_total",
                       s.labels + ",origin=\"" + Origin::kindWord(static_cast<Origin::Kind>(k)) + "\",outcome=\"" +
                           kOutcomes[o] + '"',
                       static_cast<qint64>(s.f->operations[k][o]));

    out += "# HELP qz7_log_on 1 while the event log writes its file, 0 when not asked (--no-log) or LOG OFF.\n"
           "# TYPE qz7_log_on gauge\n"
           "qz7_log_on ";
    out += log_ && log_->enabled() && !log_->isOff() ? "1\n" : "0\n";
    return out;
}

}  // namespace qz7
