// The panel with no options talks to 192.168.1.20 and .21. Those addresses are
// only ever used inside a private network namespace this test makes for
// itself: the test re-runs itself under `unshare -n` with both addresses on
// the namespace's own loopback device, so nothing can leave the machine.
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>

#include "live_panel.h"
#include "ui/device_page.h"
#include "ui/file_list_panel.h"

namespace qz7::test {
namespace {

const QByteArray kLinkStart = hexBytes({0x3E, 0x00, 0x32, 0x01, 0x71});

bool insideTestNamespace() { return qEnvironmentVariable("QZ7_TEST_NETNS") == QLatin1String("1"); }

class DefaultHosts : public LivePanelTest {};

TEST_F(DefaultHosts, ApplyReachesBothBuiltInRecordersInsideAPrivateNamespace) {
    if (!insideTestNamespace()) {
        if (QProcess::execute(QStringLiteral("unshare"), {QStringLiteral("-n"), QStringLiteral("true")}) != 0)
            GTEST_SKIP() << "cannot make a private network namespace here (needs root and unshare); "
                            "the default recorder addresses are never used outside one";
        const QString self = QCoreApplication::applicationFilePath();
        const QString script = QStringLiteral(
                                   "ip link set lo up && ip addr add 192.168.1.20/32 dev lo && "
                                   "ip addr add 192.168.1.21/32 dev lo && QZ7_TEST_NETNS=1 exec '%1' "
                                   "--gtest_filter=DefaultHosts.*")
                                   .arg(self);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QStringLiteral("unshare"), {QStringLiteral("-n"), QStringLiteral("sh"), QStringLiteral("-c"), script});
        ASSERT_TRUE(child.waitForFinished(120000));
        EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(child.exitCode(), 0) << "the run inside the namespace failed (its output is above)";
        return;
    }

    qz7sim::Config content;
    content.files = 2;
    startSim(QStringLiteral("192.168.1.20"), content);
    startSim(QStringLiteral("192.168.1.21"));
    const Options noOptions = parseOptions({QStringLiteral("qz7cont")});
    ASSERT_TRUE(noOptions.error.isEmpty());
    TForm1& m = startPanel(noOptions.devices);
    apply(-1);
    ASSERT_TRUE(waitFor([&] { return received(0).size() >= 6 && received(1).size() >= 6; }, 5000));
    for (std::size_t i : {0u, 1u}) {
        const auto& got = received(i);
        EXPECT_NE(std::find(got.begin(), got.begin() + 3, kLinkStart), got.begin() + 3);
    }
    EXPECT_EQ(m.devicePage()->Edit13->text(), QStringLiteral("192.168.1.20"));
    ASSERT_TRUE(retrieve());
    ASSERT_TRUE(waitDrained(20000));
    EXPECT_EQ(listLines(m.fileListPanel()->ListBox2)[1], "002   FILE 002");
}

}  // namespace
}  // namespace qz7::test
