// The panel and recorder simulators over real UDP on loopback: device
// selection, the poll cycle on the wire, the list refresh and the status panel.
#include <QElapsedTimer>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QFile>
#include <algorithm>

#include "app/options.h"
#include "live_panel.h"
#include "ui/device_page.h"
#include "ui/radio_group.h"
#include "ui/status_panel.h"
#include "ui/widgets.h"

namespace qz7::test {
namespace {

const QByteArray kLinkStart = hexBytes({0x3E, 0x00, 0x32, 0x01, 0x71});
const QByteArray kStatus = hexBytes({0x3E, 0x00, 0x36, 0x60, 0xD4});
const QByteArray kTimecode = hexBytes({0x3E, 0x01, 0x36, 0x62, 0x01, 0xD8});

DevicePair pairFromCommandLine(const QStringList& args) {
    const Options o = parseOptions(QStringList{QStringLiteral("qz7cont")} + args);
    EXPECT_TRUE(o.error.isEmpty()) << o.error.toStdString();
    return o.devices;
}

// Both recorders get the link start, then the status requests alternate.
void expectApplyTraffic(const std::vector<QByteArray>& got) {
    ASSERT_GE(got.size(), 5u);
    EXPECT_EQ(got[0] == kLinkStart || got[1] == kLinkStart, true) << "link start among the first packets";
    const auto start = std::find(got.begin(), got.end(), kLinkStart);
    ASSERT_NE(start, got.end());
    for (auto it = start + 1; it + 1 != got.end() && it < start + 6; ++it) {
        EXPECT_TRUE(*it == kStatus || *it == kTimecode);
        EXPECT_NE(*it, *(it + 1)) << "status requests alternate";
    }
}

class DeviceLinkE2E : public LivePanelTest {};

TEST_F(DeviceLinkE2E, NothingIsSentBeforeApplyThenBothRecordersReceiveEveryPacket) {
    startSim(QStringLiteral("127.0.0.1"));
    startSim(QStringLiteral("127.0.0.2"));
    startPanel(pairFromCommandLine({QStringLiteral("--devices"), QStringLiteral("127.0.0.1,127.0.0.2")}));
    QTest::qWait(300);  // 15 ticks with the link off
    EXPECT_TRUE(received(0).empty());
    EXPECT_TRUE(received(1).empty());

    apply(0);
    ASSERT_TRUE(waitFor([&] { return received(0).size() >= 8 && received(1).size() >= 8; }, 3000));
    expectApplyTraffic(received(0));
    expectApplyTraffic(received(1));
    EXPECT_EQ(control<QLineEdit>(main(), "Edit13")->text(), QStringLiteral("127.0.0.1"));
    // The first recorder answered the link start: "Retrieve" is enabled.
    EXPECT_TRUE(waitFor([&] { return control<QPushButton>(main(), "Button6")->isEnabled(); }, 2000));

    // "Scan" stops all traffic until the next "Apply".
    QTest::mouseClick(control<QPushButton>(main(), "Button2"), Qt::LeftButton);  // disabled: nothing happens
    control<DevicePage>(main(), "TabSheet11")->scan();
    QTest::qWait(100);
    const std::size_t before = received(0).size();
    QTest::qWait(300);
    EXPECT_EQ(received(0).size(), before);
}

TEST_F(DeviceLinkE2E, RetrieveFillsTheListsAndTheStatusPanelFollowsTheRecorder) {
    qz7sim::Config content;
    content.files = 6;
    content.clips = 4;
    content.cues = 3;
    content.sequences = 2;
    qz7sim::SimServer& sim = startSim(QStringLiteral("127.0.0.21"), content);
    startSim(QStringLiteral("127.0.0.22"));
    MainWindow& m = startPanel(pairFromCommandLine({QStringLiteral("--devices=127.0.0.21,127.0.0.22")}));
    apply(0);
    ASSERT_TRUE(retrieve());
    ASSERT_TRUE(waitDrained(30000));

    const qz7sim::State& st = sim.recorder().state();
    const auto files = listLines(control<QListWidget>(m, "ListBox2"));
    ASSERT_GE(files.size(), 512u);
    for (int n = 1; n <= 6; ++n) {
        const qz7sim::File& f = st.files[static_cast<std::size_t>(n - 1)];
        EXPECT_EQ(files[static_cast<std::size_t>(n - 1)], fileLine(n, FileEntry{f.name, static_cast<std::uint8_t>(f.inhibited ? 1 : 0)}));
    }
    EXPECT_NE(files[2].find(" * "), std::string::npos) << "every third demo file is inhibited";
    EXPECT_EQ(files[6], " ");
    EXPECT_EQ(tables().recordedFileCount, 6);
    EXPECT_EQ(tables().clipCount, 4);
    EXPECT_EQ(tables().cueCount, 3);
    const auto clips = listLines(control<QListWidget>(m, "ListBox1"));
    EXPECT_EQ(clips[0], clipLine(0, st.clips[0].name));
    EXPECT_EQ(clips[4], " ");
    const auto cues = listLines(control<QListWidget>(m, "ListBox4"));
    EXPECT_EQ(cues[2].substr(0, 11), Timecode::fromBytes(st.cues[2].position).text());
    const auto seqs = listLines(control<QListWidget>(m, "ListBox3"));
    EXPECT_EQ(seqs[0], "000");
    EXPECT_EQ(seqs[1], "001");
    EXPECT_EQ(tables().sequences[1].entryCount, st.sequences[1].entries);
    EXPECT_TRUE(control<QWidget>(m, "Panel6")->isEnabled());

    // Status panel: the simulator's word, standard, quality and reference.
    EXPECT_EQ(control<QLabel>(m, "Label4")->text(), QStringLiteral("STOP"));
    EXPECT_EQ(control<QLabel>(m, "Label7")->text(), QStringLiteral("1080/59.94I   "));
    EXPECT_EQ(control<QLabel>(m, "Label11")->text(), QStringLiteral("HQ      "));
    EXPECT_EQ(control<QLabel>(m, "Label24")->text(), QStringLiteral("INT"));

    // Play: the word follows and the timecode runs.
    deck().linkForTesting().queue(Packet::frame(Group::Operate, Op::Play));
    ASSERT_TRUE(waitFor([&] { return control<QLabel>(m, "Label4")->text() == QStringLiteral("PLAY"); }, 3000));
    const QString firstSeconds = control<QLabel>(m, "Label31")->text();
    EXPECT_TRUE(waitFor([&] { return control<QLabel>(m, "Label31")->text() != firstSeconds; }, 3000)) << "the seconds move";
    deck().linkForTesting().queue(Packet::frame(Group::Operate, Op::Stop, {0x00}));
    EXPECT_TRUE(waitFor([&] { return control<QLabel>(m, "Label4")->text() == QStringLiteral("STOP"); }, 3000));
}

TEST_F(DeviceLinkE2E, ErrorFlagFetchesTheTextOnceAndResetClearsIt) {
    qz7sim::Config c;
    c.error = "FAN STOP";
    startSim(QStringLiteral("127.0.0.23"), c);
    MainWindow& m = startPanel(pairFromCommandLine({QStringLiteral("--devices"), QStringLiteral("127.0.0.23")}));
    apply(0);
    ASSERT_TRUE(waitFor([&] { return control<ClickableLabel>(m, "Label36")->text() == QStringLiteral("ERR : FAN STOP"); }, 3000));
    QTest::qWait(300);
    const auto requests = std::count(received(0).begin(), received(0).end(),
                                     hexBytes({0x3E, 0x01, 0x36, 0x83, 0x00, 0xF8}));
    EXPECT_EQ(requests, 1);
    QTest::mouseDClick(control<ClickableLabel>(m, "Label36"), Qt::LeftButton);
    EXPECT_TRUE(waitFor([&] { return control<ClickableLabel>(m, "Label36")->text() == QStringLiteral(" "); }, 3000));
    EXPECT_EQ(deck().status().errorLatch, false);
}

TEST_F(DeviceLinkE2E, RepliesFromTheOtherRecorderAreIgnored) {
    // Only the second recorder exists; the first endpoint points at a silent address.
    startSim(QStringLiteral("127.0.0.25"));
    MainWindow& m = startPanel(pairFromCommandLine({QStringLiteral("--devices=127.0.0.24,127.0.0.25")}));
    apply(0);
    ASSERT_TRUE(waitFor([&] { return received(0).size() >= 6; }, 3000));
    QTest::qWait(200);
    EXPECT_FALSE(control<QPushButton>(m, "Button6")->isEnabled()) << "a system reply from the wrong host was taken";
    // Selecting the second line makes it the recorder we read.
    apply(1);
    EXPECT_EQ(control<QLineEdit>(m, "Edit13")->text(), QStringLiteral("127.0.0.25"));
    EXPECT_TRUE(waitFor([&] { return control<QPushButton>(m, "Button6")->isEnabled(); }, 3000));
}

// The program's own pace: 20 ms ticks, 33 ms waits for a recorder that never answers.
TEST_F(DeviceLinkE2E, TheWindowStaysResponsiveWhilePollingASilentRecorder) {
    timing_ = LinkTiming{};
    startPanel(pairFromCommandLine({QStringLiteral("--devices=127.0.0.26")}));
    apply(0);
    QTest::qWait(100);
    // Post short timers at odd moments and measure how late they fire.
    std::vector<qint64> lateness;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 60; ++i) {
        const qint64 due = clock.elapsed() + 7;
        bool fired = false;
        QTimer::singleShot(7, Qt::PreciseTimer, [&] {
            lateness.push_back(clock.elapsed() - due);
            fired = true;
        });
        waitFor([&] { return fired; }, 1000);
    }
    std::sort(lateness.begin(), lateness.end());
    ASSERT_EQ(lateness.size(), 60u);
    // A blocking 33 ms reply wait would make most of these 10-30 ms late.
    EXPECT_LE(lateness[lateness.size() / 2], 4) << "median";
    EXPECT_LE(lateness[lateness.size() * 9 / 10], 12) << "90th percentile";
    // A silent recorder: each tick waits its 33 ms, and the next starts at once.
    EXPECT_GT(deck().linkForTesting().pollDriver().ticks(), 60 * 7 / 40);
}

TEST(CommandLine, HelpAndUnknownOptions) {
    const QString bin = QStringLiteral(QZ7_BIN_DIR "/qz7cont");
    if (!QFile::exists(bin)) GTEST_SKIP() << "qz7cont not built at " << bin.toStdString();
    QProcess p;
    p.start(bin, {QStringLiteral("--help")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().contains("--devices"));
    p.start(bin, {QStringLiteral("--frobnicate")});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 2);
    EXPECT_EQ(p.readAllStandardError().toStdString(), "qz7cont: unknown option: --frobnicate (see --help)\n");
}

TEST(CommandLine, TheDeckIsNamedDeckUnlessNamed) {
    const auto parse = [](QStringList args) { return parseOptions(QStringList{QStringLiteral("qz7cont")} + args); };
    EXPECT_EQ(parse({}).name.toStdString(), "deck");
    EXPECT_EQ(parse({QStringLiteral("--name"), QStringLiteral("studio-a")}).name.toStdString(), "studio-a");
    EXPECT_EQ(parse({QStringLiteral("--name=VTR_2")}).name.toStdString(), "VTR_2");
    EXPECT_EQ(parse({QStringLiteral("--name"), QStringLiteral("a/b")}).error.toStdString(),
              "--name wants 1..32 of A-Z a-z 0-9 _ -, not 'a/b'");
    EXPECT_EQ(parse({QStringLiteral("--name=")}).error.toStdString(), "--name wants 1..32 of A-Z a-z 0-9 _ -, not ''");
    EXPECT_EQ(parse({QStringLiteral("--name")}).error.toStdString(), "--name needs a value");
}

}  // namespace
}  // namespace qz7::test
