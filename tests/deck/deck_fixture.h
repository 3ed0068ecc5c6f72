// Deck tests: a deck against simulated recorders over real UDP on loopback,
// with no widget anywhere. Each test names its own pair of addresses
// (127.0.N.1 and 127.0.N.2), so tests run side by side without a lock.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "deck/deck.h"
#include "simserver.h"

namespace qz7::test {

// What the deck reported through Deck::operated.
struct Operation {
    Origin origin;
    std::string op;
    Outcome outcome;
};

class DeckTest : public ::testing::Test {
protected:
    void TearDown() override;

    // Simulators on 127.0.subnet.1 and .2 (the second only with pair), then
    // a deck pointed at them, ticking at a few milliseconds.
    // dropPercent: the simulators ignore that share of the requests.
    Deck& startDeck(int subnet, const qz7sim::Config& config = {}, bool pair = true, int dropPercent = 0);
    // As "Apply" on line `line`; true once the selected recorder answered the link start.
    bool applyAndWait(int line = 0);
    // "Retrieve", then wait until the burst has gone out and answers are in.
    bool retrieveAndWait();
    // Runs the event loop until pred holds; false when the time is up.
    static bool waitFor(const std::function<bool()>& pred, int timeoutMs = 3000);
    // Until the stack is empty and a few more ticks passed.
    bool drain(int timeoutMs = 5000);

    qz7sim::Recorder& recorder(std::size_t i = 0) { return sims_.at(i)->recorder(); }
    qz7sim::SimServer& sim(std::size_t i = 0) { return *sims_.at(i); }
    // Requests simulator i received, oldest first, as hex "3e 00 34 01 73".
    std::vector<std::string> received(std::size_t i = 0) const;
    void forgetReceived();

    std::unique_ptr<Deck> deck;
    std::vector<Operation> operations;
    QString host(int n) const { return QStringLiteral("127.0.%1.%2").arg(subnet_).arg(n); }

private:
    std::vector<std::unique_ptr<qz7sim::SimServer>> sims_;
    std::vector<std::vector<QByteArray>> received_;
    int subnet_ = 0;
};

// "3e 00 34 01 73"
std::string hex(const std::vector<std::uint8_t>& bytes);
std::string hex(const Packet& packet);

}  // namespace qz7::test
