// Reload against simulated recorders on loopback: new decks start, removed
// ones stop, changed ones restart, and an untouched deck is not touched at
// all: same object, link never dropped, its ticks running on.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "wait_for.h"
#include "deck/deck.h"
#include "net/link_monitor.h"
#include "net/poll_driver.h"
#include "rack/rack_service.h"
#include "simserver.h"

namespace qz7::test {
namespace {

bool waitFor(const std::function<bool()>& pred, int timeoutMs = 3000) { return waitUntil(pred, timeoutMs); }

class RackReload : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* a : {"127.0.91.1", "127.0.91.2", "127.0.92.1", "127.0.92.2", "127.0.93.1", "127.0.94.1"}) {
            qz7sim::SimOptions options;
            options.address = QHostAddress(QString::fromLatin1(a));
            sims_.push_back(std::make_unique<qz7sim::SimServer>(qz7sim::Config{}, options));
            QString error;
            ASSERT_TRUE(sims_.back()->start(&error)) << a << ": " << error.toStdString();
        }
    }
    void write(const char* text) {
        QFile f(path_);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    bool linked(RackService& s, const char* name) {
        Deck* d = s.rack().deck(QString::fromLatin1(name));
        return d && d->monitor().state() == LinkMonitor::State::Ok;
    }

    QTemporaryDir dir_;
    QString path_ = dir_.filePath(QStringLiteral("rack.conf"));
    std::vector<std::unique_ptr<qz7sim::SimServer>> sims_;
    QStringList log_;
};

TEST_F(RackReload, UntouchedDecksKeepPolling) {
    write("[deck keep]\ndevices = 127.0.91.1,127.0.91.2\n"
          "[deck change]\ndevices = 127.0.92.1\n"
          "[deck gone]\ndevices = 127.0.93.1\n");
    RackOptions options = parseRackOptions({QStringLiteral("qz7rack"), QStringLiteral("--config"), path_});
    RackSetup setup;
    ASSERT_EQ(loadRackSetup(options, setup).toStdString(), "");
    RackService service(options, setup, LinkTiming{std::chrono::milliseconds(1), std::chrono::milliseconds(3)},
                        [this](const QString& line) { log_ << line; });
    QString error;
    ASSERT_TRUE(service.start(&error)) << error.toStdString();
    ASSERT_TRUE(waitFor([&] { return linked(service, "keep") && linked(service, "change") && linked(service, "gone"); }));

    Deck* keep = service.rack().deck(QStringLiteral("keep"));
    Deck* change = service.rack().deck(QStringLiteral("change"));
    std::vector<LinkMonitor::State> keepStates;
    QObject::connect(&keep->monitor(), &LinkMonitor::changed, [&] { keepStates.push_back(keep->monitor().state()); });

    write("[deck new]\ndevices = 127.0.94.1\n"
          "[deck change]\ndevices = 127.0.92.1,127.0.92.2\nselect = 1\n"
          "[deck keep]\ndevices = 127.0.91.1, 127.0.91.2\n");
    const qint64 before = keep->ticks();
    EXPECT_EQ(service.reload().toStdString(), "reload: 3 deck(s); started new; stopped gone; restarted change; untouched keep");
    const qint64 across = keep->ticks();
    ASSERT_TRUE(waitFor([&] { return linked(service, "new") && linked(service, "change"); }));
    EXPECT_EQ(service.rack().names(), (QStringList{"change", "keep", "new"}));
    EXPECT_EQ(service.rack().deck(QStringLiteral("change"))->targetHosts().first().toStdString(), "127.0.92.2");
    Q_UNUSED(change);

    // The untouched deck: the same object, never re-applied, its link up and
    // its ticks running on while the others started.
    EXPECT_EQ(service.rack().deck(QStringLiteral("keep")), keep);
    EXPECT_GE(across, before);
    ASSERT_TRUE(waitFor([&] { return keep->ticks() > across + 5; }));
    for (LinkMonitor::State s : keepStates) EXPECT_EQ(s, LinkMonitor::State::Ok);

    // A bad file changes nothing and says why.
    write("[deck keep]\ndevices = 127.0.91.1\n[deck other]\ndevices = 127.0.91.1\n");
    const QString refused = service.reload();
    EXPECT_TRUE(refused.startsWith(QStringLiteral("reload refused, the running decks stay as they are: ") + path_ +
                                   QStringLiteral(":3: deck other names recorder 127.0.91.1")))
        << refused.toStdString();
    EXPECT_EQ(service.rack().names(), (QStringList{"change", "keep", "new"}));
    EXPECT_EQ(service.rack().deck(QStringLiteral("keep")), keep);

    // The [osc] section is read at start only.
    write("[osc]\nport = 0\n[deck keep]\ndevices = 127.0.91.1,127.0.91.2\n");
    EXPECT_EQ(service.reload().toStdString(), "reload: 1 deck(s); stopped change, new; untouched keep");
    EXPECT_TRUE(log_.contains(QStringLiteral("reload: the [osc] section changed; it takes effect at the next start of qz7rack")));
    EXPECT_EQ(service.osc(), nullptr);
    EXPECT_TRUE(log_.contains(QStringLiteral("deck keep: link: LINK OK 127.0.91.1"))) << log_.join('\n').toStdString();
}

// At the shipped 20 ms tick, a reload that starts a deck must not hold the
// loop long enough for an untouched deck to lose a tick: a lost one shows as
// an interval of two periods.
TEST_F(RackReload, NoTickLostAcrossAReload) {
    write("[deck keep]\ndevices = 127.0.91.1,127.0.91.2\n");
    RackOptions options = parseRackOptions({QStringLiteral("qz7rack"), QStringLiteral("--config"), path_});
    RackSetup setup;
    ASSERT_EQ(loadRackSetup(options, setup).toStdString(), "");
    RackService service(options, setup, LinkTiming{}, [this](const QString& line) { log_ << line; });
    QString error;
    ASSERT_TRUE(service.start(&error)) << error.toStdString();
    ASSERT_TRUE(waitFor([&] { return linked(service, "keep"); }));
    Deck* keep = service.rack().deck(QStringLiteral("keep"));
    std::vector<qint64> stamps;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&keep->linkForTesting().pollDriver(), &PollDriver::tickStarted,
                     [&] { stamps.push_back(clock.nsecsElapsed()); });
    ASSERT_TRUE(waitFor([&] { return stamps.size() >= 3; }));

    write("[deck keep]\ndevices = 127.0.91.1,127.0.91.2\n[deck new]\ndevices = 127.0.94.1\n"
          "[deck change]\ndevices = 127.0.92.1,127.0.92.2\n");
    EXPECT_EQ(service.reload().toStdString(), "reload: 3 deck(s); started new, change; untouched keep");
    const std::size_t atReload = stamps.size();
    ASSERT_TRUE(waitFor([&] { return stamps.size() >= atReload + 3; }));
    EXPECT_EQ(service.rack().deck(QStringLiteral("keep")), keep);
    double longest = 0;
    for (std::size_t k = 1; k < stamps.size(); ++k) longest = std::max(longest, (stamps[k] - stamps[k - 1]) / 1e6);
    EXPECT_LT(longest, 39.0) << "an untouched deck lost a tick across the reload";
}

}  // namespace
}  // namespace qz7::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
