// The panel with no options talks to 192.168.1.20 and .21. Those addresses are
// only ever used inside a private network namespace this test makes for
// itself, with both addresses on the namespace's own loopback device, so
// nothing can leave the machine.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "live_panel.h"
#include "private_network.h"

namespace qz7::test {
namespace {

const QByteArray kLinkStart = hexBytes({0x3E, 0x00, 0x32, 0x01, 0x71});

class DefaultHosts : public LivePanelTest {};

TEST_F(DefaultHosts, ApplyReachesBothBuiltInRecordersInsideAPrivateNamespace) {
    if (!insidePrivateNetwork())
        return runInPrivateNetwork(QStringLiteral("ip addr add 192.168.1.20/32 dev lo && ip addr add 192.168.1.21/32 dev lo"));

    qz7sim::Config content;
    content.files = 2;
    startSim(QStringLiteral("192.168.1.20"), content);
    startSim(QStringLiteral("192.168.1.21"));
    const Options noOptions = parseOptions({QStringLiteral("qz7cont")});
    ASSERT_TRUE(noOptions.error.isEmpty());
    MainWindow& m = startPanel(noOptions.devices);
    apply(-1);
    ASSERT_TRUE(waitFor([&] { return received(0).size() >= 6 && received(1).size() >= 6; }, 5000));
    for (std::size_t i : {0u, 1u}) {
        const auto& got = received(i);
        EXPECT_NE(std::find(got.begin(), got.begin() + 3, kLinkStart), got.begin() + 3);
    }
    EXPECT_EQ(control<QLineEdit>(m, "Edit13")->text(), QStringLiteral("192.168.1.20"));
    ASSERT_TRUE(retrieve());
    ASSERT_TRUE(waitDrained(20000));
    EXPECT_EQ(listLines(control<QListWidget>(m, "ListBox2"))[1], "002   FILE 002");
}

}  // namespace
}  // namespace qz7::test
