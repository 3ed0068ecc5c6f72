// A directed broadcast host is refused by the socket layer: the send fails as
// a standard error and nothing reaches the loopback network's broadcast
// address. The listener binds that broadcast address itself, since a socket
// bound to 127.0.0.1 never sees a directed broadcast whether it was sent or not.
#include <QPushButton>
#include <QTest>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include "link/command_stack.h"
#include "controls.h"
#include "net/recorder_link.h"
#include "net/udp_transport.h"
#include "ui/error_box.h"
#include "standalone_forms.h"
#include "ui/forms.h"
#include "ui/main_window.h"

namespace qz7::test {
namespace {

const QString kLoopbackBroadcast = QStringLiteral("127.255.255.255");

TEST(Broadcast, BothEndpointsRefuseADirectedBroadcastHost) {
    QUdpSocket listener;
    ASSERT_TRUE(listener.bind(QHostAddress(kLoopbackBroadcast), 0)) << listener.errorString().toStdString();
    UdpTransport transport;
    const std::uint8_t statusRequest[] = {0x3E, 0x00, 0x36, 0x60, 0xD4};
    for (int i : {1, 2}) {
        transport.endpoint(i).host = kLoopbackBroadcast;
        transport.endpoint(i).port = listener.localPort();
        try {
            transport.send(i, statusRequest);
            ADD_FAILURE() << "endpoint " << i << " sent to the broadcast address";
        } catch (const LinkError& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(QStringLiteral("Socket Error # "))) << e.what();
        }
    }
    QTest::qWait(100);
    EXPECT_FALSE(listener.hasPendingDatagrams());
}

TEST(Broadcast, ApplyOnABroadcastHostShowsTheErrorBoxAndSendsNothing) {
    QUdpSocket listener;
    ASSERT_TRUE(listener.bind(QHostAddress(kLoopbackBroadcast), 20000)) << listener.errorString().toStdString();
    ErrorBox::dismiss();
    ErrorBox::resetCounters();
    DevicePair devices;
    devices.first = kLoopbackBroadcast;
    devices.single = true;
    StandaloneForms forms(devices);
    QTest::mouseClick(control<QPushButton>(*forms.mainWindow(), "Button7"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([] { return ErrorBox::isOpen(); }, 2000));
    EXPECT_TRUE(ErrorBox::lastMessage().startsWith(QStringLiteral("Socket Error # ")))
        << ErrorBox::lastMessage().toStdString();
    QTest::qWait(100);
    EXPECT_FALSE(listener.hasPendingDatagrams());
    ErrorBox::dismiss();
}

}  // namespace
}  // namespace qz7::test
