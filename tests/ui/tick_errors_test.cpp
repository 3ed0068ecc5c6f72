// Errors from the poll cycle and the error box: an error that keeps coming
// back opens one box, until "Apply" or "Scan" is pressed or the text
// changes; a send error that returns after a tick went well is the lamp's
// SEND ERROR, not a second box for the same Apply. The ticks are run by hand here; their sends go to
// loopback addresses where nothing listens.
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "controls.h"
#include "net/link_monitor.h"
#include "net/recorder_link.h"
#include "ui/device_page.h"
#include "ui/error_box.h"
#include "standalone_forms.h"
#include "ui/forms.h"
#include "ui/main_window.h"

namespace qz7::test {
namespace {

TEST(TickErrors, ARepeatedErrorOpensOneBoxUntilSomethingChanged) {
    ErrorBox::dismiss();
    ErrorBox::resetCounters();
    DevicePair devices;
    devices.first = QStringLiteral("127.0.0.91");
    devices.second = QStringLiteral("127.0.0.92");
    StandaloneForms forms(devices);
    forms.deck().linkForTesting().pollDriver().stop();
    RecorderLink& link = forms.deck().linkForTesting();
    auto* page = control<DevicePage>(*forms.mainWindow(), "TabSheet11");
    const QString partnerDown = QStringLiteral("Host not found: partner");
    // One tick; `error` stands for what it raised, and the operator presses OK.
    const auto tick = [&](const QString& error = {}) {
        link.pollCycle().sendTurn();
        if (!error.isEmpty()) emit link.tickError(error);
        ErrorBox::dismiss();
    };

    QTest::mouseClick(control<QPushButton>(*forms.mainWindow(), "Button7"), Qt::LeftButton);
    for (int i = 0; i < 5; ++i) tick(partnerDown);
    EXPECT_EQ(ErrorBox::shownCount(), 1);

    tick(QStringLiteral("Socket Error # 7\nUnable to send a message"));
    EXPECT_EQ(ErrorBox::shownCount(), 2) << "another text";
    tick(partnerDown);
    EXPECT_EQ(ErrorBox::shownCount(), 2);

    tick();
    tick(partnerDown);
    tick(partnerDown);
    EXPECT_EQ(ErrorBox::shownCount(), 2) << "after a tick that went well: the same Apply, the same fault";
    EXPECT_TRUE(forms.deck().monitor().lampText().endsWith(QStringLiteral("SEND ERROR")));

    page->scan();  // Scan (the button is disabled on screen)
    tick(partnerDown);
    tick(partnerDown);
    EXPECT_EQ(ErrorBox::shownCount(), 3) << "after Scan";

    QTest::mouseClick(control<QPushButton>(*forms.mainWindow(), "Button7"), Qt::LeftButton);
    tick(partnerDown);
    tick(partnerDown);
    EXPECT_EQ(ErrorBox::shownCount(), 4) << "after Apply";
    EXPECT_EQ(ErrorBox::lastMessage(), partnerDown);
}

}  // namespace
}  // namespace qz7::test
