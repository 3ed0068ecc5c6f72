// The event log end to end: the panel and a simulated recorder over real UDP,
// driven by a click, a key, an OSC sender and a web client, leave one file in
// which every action and every REC, link and error change appears once, with
// its origin.
#include <QJsonObject>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include "../remote/osc_messages.h"
#include "deck/deck.h"
#include "live_panel.h"
#include "log/event_log.h"
#include "log/log_reader.h"
#include "net/link_monitor.h"
#include "remote/remote_control.h"

namespace qz7::test {
namespace {

class EventLogE2E : public LivePanelTest {};

TEST_F(EventLogE2E, EveryFrontEndAndEveryRecorderChangeOnceInOneFile) {
    qz7sim::Config config;
    config.files = 3;
    config.error = "FAN STOP";
    startSim(QStringLiteral("127.0.0.121"), config);
    DevicePair single;
    single.first = single.second = QStringLiteral("127.0.0.121");
    single.single = true;
    startPanel(single);
    Deck& deck = forms_->deck();
    QTemporaryDir dir;
    EventLog log({true, dir.path(), 90});
    log.attach(deck);
    main().setEventLog(&log);

    // A free port for the OSC endpoint: taken, noted, let go.
    quint16 port = 0;
    {
        QUdpSocket probe;
        ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
        port = probe.localPort();
    }
    RemoteOptions remote;
    remote.osc = true;
    remote.port = port;
    RemoteControl remoteControl(deck, remote);
    QString error;
    ASSERT_TRUE(remoteControl.start(&error)) << error.toStdString();

    main().show();
    main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    apply();
    ASSERT_TRUE(waitFor([&] { return deck.monitor().state() == LinkMonitor::State::Ok; }, 5000));
    ASSERT_TRUE(waitFor([&] { return deck.status().errorText == "FAN STOP"; }, 5000));
    ASSERT_TRUE(waitFor([&] { return control<QWidget>(main(), "Panel7")->isEnabled(); }, 5000));

    QTest::mouseClick(control<QPushButton>(main(), "BitBtn1"), Qt::LeftButton);
    ASSERT_TRUE(waitFor([&] { return deck.status().transport == "PLAY"; }, 5000));
    QTest::keyClick(&main(), Qt::Key_F8);  // FF
    ASSERT_TRUE(waitFor([&] { return deck.status().transport != "PLAY"; }, 5000));
    QUdpSocket sender;
    ASSERT_TRUE(sender.bind(QHostAddress::LocalHost, 0));
    const std::vector<std::uint8_t> rec = osc("/qz7/rec", {std::int32_t{1}});
    sender.writeDatagram(reinterpret_cast<const char*>(rec.data()), static_cast<qint64>(rec.size()),
                         QHostAddress::LocalHost, port);
    ASSERT_TRUE(waitFor([&] { return deck.status().rec; }, 5000));
    ASSERT_TRUE(deck.stop(false, Origin::web("10.0.0.5")).queued());
    ASSERT_TRUE(waitFor([&] { return deck.status().transport == "STOP"; }, 5000));
    ASSERT_TRUE(waitDrained(5000));

    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QList<QJsonObject> events = readEvents(dir.path(), now.addDays(-1), now.addDays(1));
    auto count = [&](const char* op, const QString& origin) {
        int n = 0;
        for (const QJsonObject& e : events)
            if (e.value(QLatin1String("op")).toString() == QLatin1String(op) &&
                e.value(QLatin1String("origin")).toString() == origin &&
                e.value(QLatin1String("kind")).toString() != QLatin1String("outcome"))
                ++n;
        return n;
    };
    const QString recorder = QStringLiteral("recorder");
    EXPECT_EQ(count("apply", QStringLiteral("panel")), 1);
    EXPECT_EQ(count("play", QStringLiteral("panel")), 1);
    EXPECT_EQ(count("ff", QStringLiteral("key F8")), 1);
    EXPECT_EQ(count("rec", QStringLiteral("osc 127.0.0.1:%1").arg(sender.localPort())), 1);
    EXPECT_EQ(count("stop", QStringLiteral("web 10.0.0.5")), 1);
    EXPECT_EQ(count("rec/start", recorder), 1);
    EXPECT_EQ(count("rec/stop", recorder), 1);
    EXPECT_EQ(count("link", recorder), 1);
    EXPECT_EQ(count("error/on", recorder), 1);
    EXPECT_EQ(count("error/text", recorder), 1) << "the deck asked for the text once";
    // Every line came from this process, in order.
    for (qsizetype i = 0; i < events.size(); ++i)
        EXPECT_EQ(events[i].value(QLatin1String("seq")).toInteger(), i + 1);
    EXPECT_FALSE(log.isOff());
}

}  // namespace
}  // namespace qz7::test
