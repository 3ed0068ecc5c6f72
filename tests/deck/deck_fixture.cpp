#include "deck_fixture.h"

#include "wait_for.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <cstdio>

#include "net/link_monitor.h"

namespace qz7::test {

std::string hex(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    char buf[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(buf, sizeof buf, "%02x", b);
        if (!out.empty()) out += ' ';
        out += buf;
    }
    return out;
}

std::string hex(const Packet& packet) { return hex(packet.wire()); }

void DeckTest::TearDown() {
    deck.reset();
    sims_.clear();
    received_.clear();
}

Deck& DeckTest::startDeck(int subnet, const qz7sim::Config& config, bool pair, int dropPercent) {
    subnet_ = subnet;
    for (int n = 1; n <= (pair ? 2 : 1); ++n) {
        qz7sim::SimOptions options;
        options.address = QHostAddress(host(n));
        options.dropPercent = dropPercent;
        auto sim = std::make_unique<qz7sim::SimServer>(config, options);
        QString error;
        if (!sim->start(&error)) ADD_FAILURE() << "simulator on " << host(n).toStdString() << ": " << error.toStdString();
        const std::size_t index = received_.size();
        received_.emplace_back();
        QObject::connect(sim.get(), &qz7sim::SimServer::requestHandled,
                         [this, index](const QByteArray& request, int) { received_[index].push_back(request); });
        sims_.push_back(std::move(sim));
    }
    DevicePair devices;
    devices.first = host(1);
    devices.second = host(2);
    devices.single = !pair;
    deck = std::make_unique<Deck>(devices, LinkTiming{std::chrono::milliseconds(1), std::chrono::milliseconds(3)});
    QObject::connect(deck.get(), &Deck::operated, [this](const Origin& origin, const QString& op, const Outcome& o) {
        operations.push_back({origin, op.toStdString(), o});
    });
    deck->start();
    return *deck;
}

bool DeckTest::applyAndWait(int line) {
    deck->apply(line, Origin::panel());
    // The link start sits under anything queued later (last in, first out):
    // wait until it went out and the recorder's system reply came back.
    return waitFor([this] { return deck->monitor().state() == LinkMonitor::State::Ok; }) && drain() &&
           waitFor([this] { return deck->retrieveAvailable(); });
}

bool DeckTest::retrieveAndWait() {
    if (!waitFor([this] { return deck->retrieveAvailable(); })) return false;
    if (!deck->retrieve(Origin::panel()).queued()) return false;
    return waitFor([this] { return !deck->retrieveProgress().running; }, 15000) && drain();
}

bool DeckTest::waitFor(const std::function<bool()>& pred, int timeoutMs) { return waitUntil(pred, timeoutMs); }

bool DeckTest::drain(int timeoutMs) {
    if (!waitFor([this] { return deck->commandsWaiting() == 0; }, timeoutMs)) return false;
    // The last replies arrive within a few ticks.
    const qint64 until = deck->ticks() + 6;
    return waitFor([&] { return deck->ticks() >= until; }, timeoutMs);
}

std::vector<std::string> DeckTest::received(std::size_t i) const {
    std::vector<std::string> out;
    for (const QByteArray& r : received_.at(i))
        out.push_back(hex(std::vector<std::uint8_t>(r.begin(), r.end())));
    return out;
}

void DeckTest::forgetReceived() {
    for (auto& r : received_) r.clear();
}

}  // namespace qz7::test
