// Bad input and faults end to end: datagrams of every malformed shape sent to
// the running panel over UDP, and a list refresh through a lossy recorder.
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QUdpSocket>

#include "live_panel.h"
#include "ui/error_box.h"
#include "ui/widgets.h"
#include "wire_bytes.h"

namespace qz7::test {
namespace {

Bytes frame(std::uint8_t group, std::uint8_t code, std::size_t length, std::initializer_list<std::pair<int, int>> set = {}) {
    return sizedFrame(group, code, length, set);
}

long residentKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

class HardeningE2E : public LivePanelTest {
protected:
    // A fake recorder: a socket on the selected recorder's address, and one elsewhere.
    void SetUp() override {
        ASSERT_TRUE(recorder.bind(QHostAddress(QStringLiteral("127.0.0.31")), 0));
        ASSERT_TRUE(stranger.bind(QHostAddress(QStringLiteral("127.0.0.32")), 0));
    }
    void send(QUdpSocket& from, const Bytes& d) {
        from.writeDatagram(reinterpret_cast<const char*>(d.data()), static_cast<qint64>(d.size()),
                           QHostAddress::LocalHost, deck().linkForTesting().transport().replySocket()->localPort());
    }
    void send(const Bytes& d) { send(recorder, d); }
    // Waits until the panel has read everything that is waiting for it.
    bool drained(int timeoutMs) {
        QUdpSocket* s = deck().linkForTesting().transport().replySocket();
        return waitFor([s] { return !s->hasPendingDatagrams(); }, timeoutMs) && (QTest::qWait(100), true);
    }
    QUdpSocket recorder, stranger;
};

TEST_F(HardeningE2E, MalformedDatagramsOfEveryShapeChangeNothingAndTheNextValidReplyIsDecoded) {
    MainWindow& m = startPanel(DevicePair{QStringLiteral("127.0.0.31"), QStringLiteral("QA51200040"),
                                      QStringLiteral("127.0.0.31"), QStringLiteral("QA51200041"), true});
    apply(0);
    send(frame(Group::SystemAnswer, Sys::LinkStart, 26, {{23, 4}}));
    ASSERT_TRUE(waitFor([&] { return control<QPushButton>(m, "Button6")->isEnabled(); }, 3000));
    QTest::mouseClick(control<QPushButton>(m, "Button6"), Qt::LeftButton);
    deck().linkForTesting().pollCycle().setLinkEnabled(false);  // keep the refresh from going out; replies are what we test
    deck().linkForTesting().commandStack().clear();
    deck().linkForTesting().pollCycle().setLinkEnabled(true);

    const auto snapshot = [&] {
        return std::make_tuple(listLines(control<QListWidget>(m, "ListBox4")), listLines(control<QListWidget>(m, "ListBox1")),
                               listLines(control<QListWidget>(m, "ListBox2")), listLines(control<QListWidget>(m, "ListBox3")),
                               tables().cueCount, tables().clipCount, tables().recordedFileCount,
                               control<QLabel>(m, "Label4")->text(), control<QLabel>(m, "Label3")->text());
    };
    const auto before = snapshot();
    const long rssBefore = residentKb();

    Bytes wrongSum = frame(Group::Answer, Sense::Status, 31, {{5, 0x01}});
    wrongSum.back() += 1;
    Bytes wrongLead = frame(Group::Answer, Sense::Status, 31, {{5, 0x01}});
    wrongLead[0] = 0x3D;
    wrongLead.back() = checksum(std::span(wrongLead.data(), wrongLead.size() - 1));
    Bytes huge(8192, 0x3E);
    huge.back() = checksum(std::span(huge.data(), huge.size() - 1));
    Bytes overlong = frame(Group::Answer, Sense::CueEntry, 2000, {{4, 0x00}, {5, 0x03}, {42, 1}});  // cue 768
    const std::vector<Bytes> malformed{
        {}, {0x3E}, {0x3E, 0x00}, withSum({0x3E, 0x00, 0x37}),
        frame(Group::Answer, Sense::Status, 30, {{5, 0x01}}),          // short
        frame(Group::Answer, Sense::ClipEntry, 47, {{4, 1}}),          // short
        wrongSum, wrongLead, huge, overlong,
        frame(0x38, Sense::Status, 31, {{5, 0x01}}),                   // unknown group
        frame(Group::Answer, 0xEE, 31),                                // unknown code
        frame(Group::Answer, Sense::ClipEntry, 48, {{4, 0x00}, {5, 0x02}, {46, 1}}),  // clip 512
        frame(Group::Answer, Sense::FileName, 39, {{4, 0x01}, {5, 0x02}}),           // file 513
        frame(Group::Answer, Sense::Inhibit, 8, {{4, 0}, {5, 0}, {6, 1}}),           // file 0
        frame(Group::Answer, Sense::SequenceHeader, 8, {{4, 16}, {6, 3}}),
        frame(Group::Answer, Sense::SequenceBlock, 17, {{4, 1}, {5, 26}}),
        frame(Group::Answer, Sense::TimecodeReply, 9, {{1, 3}, {7, 0x11}}),           // N = 3
    };
    for (const Bytes& d : malformed) send(d);
    // A valid status reply from the wrong host.
    send(stranger, frame(Group::Answer, Sense::Status, 31, {{5, 0x01}}));
    ASSERT_TRUE(drained(10000));
    EXPECT_EQ(snapshot(), before);

    // A flood of discovery datagrams from anyone: the device list stops at 64 lines.
    for (int i = 0; i < 300; ++i) send(stranger, Bytes{0x00, 0x00, 0x00, 0xF7});
    ASSERT_TRUE(drained(20000));
    EXPECT_LE(control<QListWidget>(m, "ListBox5")->count(), 64);
    EXPECT_EQ(listLines(control<QListWidget>(m, "ListBox5"))[0], "127.0.0.32");

    // A burst of 10 000 valid replies: whatever the socket kept is applied, nothing else.
    Bytes cue5 = frame(Group::Answer, Sense::CueEntry, 44, {{4, 5}, {6, 0x10}, {7, 0x20}, {8, 0x30}, {9, 0x01}, {10, 'Q'}, {42, 1}});
    for (int i = 0; i < 10000; ++i) send(cue5);
    ASSERT_TRUE(drained(60000));
    const auto cues = listLines(control<QListWidget>(m, "ListBox4"));
    EXPECT_EQ(cues[5], "01:30:20:10 Q");
    EXPECT_EQ(cues[4], " ");
    EXPECT_EQ(cues[6], " ");
    EXPECT_GE(tables().cueCount, 1);
    EXPECT_LE(tables().cueCount, 10000);
    EXPECT_LT(residentKb() - rssBefore, 30 * 1024) << "memory stays bounded";

    // The next valid reply is still decoded.
    send(frame(Group::Answer, Sense::TimecodeReply, 9, {{4, 0x05}, {5, 0x04}, {6, 0x03}, {7, 0x02}}));
    EXPECT_TRUE(waitFor([&] { return control<QLabel>(m, "Label3")->text() == QStringLiteral("02"); }, 3000));
    EXPECT_EQ(control<QLabel>(m, "Label32")->text(), QStringLiteral("05"));
    EXPECT_EQ(ErrorBox::shownCount(), 0);
}

TEST_F(HardeningE2E, RetrieveThroughALossyRecorderShowsExactlyWhatArrivedAndNeverHangs) {
    qz7sim::Config content;
    content.files = 30;
    content.clips = 10;
    qz7sim::SimOptions lossy;
    lossy.dropPercent = 20;
    lossy.seed = 7;
    qz7sim::SimServer& sim = startSim(QStringLiteral("127.0.0.33"), content, lossy);
    MainWindow& m = startPanel(DevicePair{QStringLiteral("127.0.0.33"), QStringLiteral("QA51200040"),
                                      QStringLiteral("127.0.0.33"), QStringLiteral("QA51200041"), true});
    // The link start may be lost too: the operator presses "Apply" again.
    for (int i = 0; i < 20 && !control<QPushButton>(m, "Button6")->isEnabled(); ++i) {
        apply(0);
        waitFor([&] { return control<QPushButton>(m, "Button6")->isEnabled(); }, 300);
    }
    ASSERT_TRUE(control<QPushButton>(m, "Button6")->isEnabled());
    received_[0].clear();
    QTest::mouseClick(control<QPushButton>(m, "Button6"), Qt::LeftButton);
    // 2 x (216 + 60) ticks of 20 ms, with room for a loaded machine.
    ASSERT_TRUE(waitDrained(60000)) << "the refresh hung";
    EXPECT_GT(sim.requestsDropped(), 0u);

    const auto answered = [&](std::uint8_t code, int i) {
        const QByteArray request =
            hexBytes({0x3E, 0x02, 0x36, code, i & 0xFF, i >> 8, (0x3E + 0x02 + 0x36 + code + (i & 0xFF) + (i >> 8)) & 0xFF});
        return std::find(received(0).begin(), received(0).end(), request) != received(0).end();
    };
    const auto files = listLines(control<QListWidget>(m, "ListBox2"));
    int shown = 0;
    for (int n = 1; n <= 30; ++n) {
        const qz7sim::File& f = sim.recorder().state().files[static_cast<std::size_t>(n - 1)];
        const std::uint8_t star = (f.inhibited && answered(Sense::Inhibit, n)) ? 1 : 0;
        const std::string expected = answered(Sense::FileName, n) ? fileLine(n, FileEntry{f.name, star}) : " ";
        EXPECT_EQ(files[static_cast<std::size_t>(n - 1)], expected) << "file " << n;
        shown += expected != " ";
    }
    EXPECT_GT(shown, 10);
    EXPECT_LT(shown, 30);
    const auto clips = listLines(control<QListWidget>(m, "ListBox1"));
    int clipAnswers = 0;
    for (int k = 0; k < 100; ++k) clipAnswers += answered(Sense::ClipEntry, k) && k < 10;
    EXPECT_EQ(tables().clipCount, clipAnswers);
}

}  // namespace
}  // namespace qz7::test
