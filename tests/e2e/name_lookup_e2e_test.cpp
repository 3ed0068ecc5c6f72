// Recorders given by name. Each test runs inside private network and mount
// namespaces with a name server of its own on the namespace's loopback, so
// no look-up leaves the machine and the answers are the test's to choose.
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QNetworkDatagram>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>

#include "app/options.h"
#include "live_panel.h"
#include "private_network.h"
#include "ui/error_box.h"

namespace qz7::test {
namespace {

const QByteArray kLinkStart = hexBytes({0x3E, 0x00, 0x32, 0x01, 0x71});
const QString kNameServer = QStringLiteral("127.0.0.53");

// Only the files and the name server below answer inside the namespace: no
// system resolver daemon or cache that could ask the outside world.
void runWithOwnNameServer() {
    static QTemporaryDir dir;
    const QString resolv = dir.filePath(QStringLiteral("resolv.conf"));
    const QString nsswitch = dir.filePath(QStringLiteral("nsswitch.conf"));
    QFile r(resolv), n(nsswitch);
    if (!r.open(QIODevice::WriteOnly) || !n.open(QIODevice::WriteOnly)) {
        ADD_FAILURE() << "cannot write in " << dir.path().toStdString();
        return;
    }
    r.write(QStringLiteral("nameserver %1\noptions timeout:1 attempts:1\n").arg(kNameServer).toLatin1());
    n.write("hosts: files dns\n");
    r.close();
    n.close();
    runInPrivateNetwork(QStringLiteral("mount --bind %1 /etc/resolv.conf && mount --bind %2 /etc/nsswitch.conf && "
                                       "{ [ ! -d /run/nscd ] || mount -t tmpfs none /run/nscd; }")
                            .arg(resolv, nsswitch));
}

// Answers the A question for the names it knows, after a delay; every other
// name does not exist.
class NameServer {
public:
    NameServer() {
        EXPECT_TRUE(socket_.bind(QHostAddress(kNameServer), 53)) << socket_.errorString().toStdString();
        QObject::connect(&socket_, &QUdpSocket::readyRead, [this] { answer(); });
    }
    QHash<QString, QHostAddress> names;
    int delayMs = 0;
    int lookups(const QString& name) const { return aQuestions_.value(name); }

private:
    void answer() {
        while (socket_.hasPendingDatagrams()) {
            const QNetworkDatagram query = socket_.receiveDatagram();
            const QByteArray in = query.data();
            QStringList labels;
            qsizetype i = 12;
            while (i < in.size() && in[i] != 0) {
                const int length = static_cast<quint8>(in[i]);
                labels << QString::fromLatin1(in.mid(i + 1, length)).toLower();
                i += length + 1;
            }
            if (i + 5 > in.size()) continue;
            const QString name = labels.join(QLatin1Char('.'));
            const bool aQuestion = in[i + 1] == 0 && in[i + 2] == 1;
            if (aQuestion) ++aQuestions_[name];
            const auto known = names.constFind(name);
            const bool withAddress = aQuestion && known != names.constEnd();
            QByteArray out = in.left(2);
            out += known != names.constEnd() ? QByteArray("\x81\x80", 2) : QByteArray("\x81\x83", 2);  // NXDOMAIN
            out += QByteArray("\x00\x01\x00", 3) + char(withAddress ? 1 : 0) + QByteArray(4, '\0');
            out += in.mid(12, i + 5 - 12);
            if (withAddress) {
                out += QByteArray("\xC0\x0C\x00\x01\x00\x01\x00\x00\x00\x3C\x00\x04", 12);
                const quint32 a = known->toIPv4Address();
                for (int shift : {24, 16, 8, 0}) out += static_cast<char>((a >> shift) & 0xFF);
            }
            QTimer::singleShot(delayMs, &socket_, [this, out, to = query.senderAddress(), port = query.senderPort()] {
                socket_.writeDatagram(out, to, port);
            });
        }
    }
    QUdpSocket socket_;
    QHash<QString, int> aQuestions_;
};

DevicePair devices(const QString& list) {
    const Options o = parseOptions({QStringLiteral("qz7cont"), QStringLiteral("--devices"), list});
    EXPECT_TRUE(o.error.isEmpty()) << o.error.toStdString();
    return o.devices;
}

bool gotLinkStart(const std::vector<QByteArray>& got) { return std::find(got.begin(), got.end(), kLinkStart) != got.end(); }

class NameLookup : public LivePanelTest {};

TEST_F(NameLookup, AnUnresolvablePartnerGivesOneBoxAndTheSelectedRecorderIsServed) {
    if (!insidePrivateNetwork()) return runWithOwnNameServer();
    NameServer dns;
    startSim(QStringLiteral("127.0.0.61"));
    MainWindow& m = startPanel(devices(QStringLiteral("127.0.0.61,no-such-recorder.invalid")));
    QSignalSpy tickErrors(&deck().linkForTesting(), &RecorderLink::tickError);
    apply(0);
    // The operator answers each box at once, for about a second of ticks.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1000) {
        if (ErrorBox::isOpen()) ErrorBox::dismiss();
        QTest::qWait(5);
    }
    EXPECT_EQ(ErrorBox::shownCount(), 1);
    EXPECT_EQ(ErrorBox::lastMessage(), QStringLiteral("Host not found: no-such-recorder.invalid"));
    EXPECT_GT(tickErrors.count(), 20) << "the link reports every failing tick";
    EXPECT_TRUE(gotLinkStart(received(0)));
    EXPECT_TRUE(control<QPushButton>(m, "Button6")->isEnabled()) << "the selected recorder answers";
}

TEST_F(NameLookup, ASlowNameIsLookedUpWhileTheWindowKeepsRunning) {
    if (!insidePrivateNetwork()) return runWithOwnNameServer();
    NameServer dns;
    dns.names.insert(QStringLiteral("recorder-a.test"), QHostAddress(QStringLiteral("127.0.0.62")));
    dns.delayMs = 300;
    startSim(QStringLiteral("127.0.0.62"));
    startPanel(devices(QStringLiteral("recorder-a.test")));
    QSignalSpy tickErrors(&deck().linkForTesting(), &RecorderLink::tickError);
    // The longest time the event loop went without serving a 2 ms timer.
    QElapsedTimer sinceLast;
    qint64 longestGap = 0;
    QTimer beat;
    beat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceLast.restart());
    });
    sinceLast.start();
    beat.start(2);
    apply(0);
    ASSERT_TRUE(waitFor([&] { return gotLinkStart(received(0)); }, 3000));
    beat.stop();
    // A blocking look-up would stall the loop for the name server's 300 ms;
    // the margin below that is for a busy machine (sanitizer builds, -j2).
    EXPECT_LT(longestGap, 150);
    ASSERT_GE(tickErrors.count(), 1);
    EXPECT_EQ(tickErrors.first().first().toString(), QStringLiteral("Host not found: recorder-a.test"))
        << "the first tick does not wait for the answer";
    EXPECT_LE(dns.lookups(QStringLiteral("recorder-a.test")), 2) << "the resolver may ask twice, never once a tick";
}

TEST_F(NameLookup, AFailedNameIsLookedUpAgainAfterAPause) {
    if (!insidePrivateNetwork()) return runWithOwnNameServer();
    NameServer dns;
    startSim(QStringLiteral("127.0.0.63"));
    startPanel(devices(QStringLiteral("recorder-b.test")));
    deck().linkForTesting().transport().setLookupRetryMs(500);
    QElapsedTimer sinceApply;
    sinceApply.start();
    apply(0);
    QTest::qWait(300);
    const int first = dns.lookups(QStringLiteral("recorder-b.test"));
    EXPECT_GE(first, 1);
    EXPECT_LE(first, 2) << "one look-up (the resolver may repeat it), not one a tick";
    // The recorder's name is registered now.
    dns.names.insert(QStringLiteral("recorder-b.test"), QHostAddress(QStringLiteral("127.0.0.63")));
    ASSERT_TRUE(waitFor([&] { return !received(0).empty(); }, 3000));
    EXPECT_GE(sinceApply.elapsed(), 500);
    EXPECT_GT(dns.lookups(QStringLiteral("recorder-b.test")), first) << "looked up again after the pause";
    ErrorBox::dismiss();
}

}  // namespace
}  // namespace qz7::test
