// The link lamp and the REC tally against real simulators: LINK OK once the
// selected recorder answers, the tally with its recording, and NO REPLY with
// a dimmed status display when the recorder goes away.
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "live_panel.h"
#include "ui/status_lamps.h"
#include "ui/status_panel.h"

namespace qz7::test {
namespace {

class LinkStateE2E : public LivePanelTest {
protected:
    QString lamp() { return control<QLabel>(main(), "LinkState")->text(); }
    bool tallyLit() { return control<RecTally>(main(), "RecTally")->isLit(); }
};

TEST_F(LinkStateE2E, LampAndTallyFollowTheRecorderAndItsSilence) {
    startSim(QStringLiteral("127.0.0.1"));
    startSim(QStringLiteral("127.0.0.2"));
    DevicePair pair;
    pair.first = QStringLiteral("127.0.0.1");
    pair.second = QStringLiteral("127.0.0.2");
    startPanel(pair);
    auto* status = control<StatusPanel>(main(), "Panel4");
    EXPECT_EQ(lamp(), QStringLiteral("LINK OFF"));

    apply(0);
    ASSERT_TRUE(waitFor([&] { return lamp() == QStringLiteral("LINK OK 127.0.0.1"); }, 3000)) << lamp().toStdString();
    EXPECT_TRUE(status->isLive());

    QTest::mouseClick(control<QPushButton>(main(), "BitBtn3"), Qt::LeftButton);
    EXPECT_TRUE(waitFor([&] { return tallyLit(); }, 3000));
    EXPECT_EQ(control<QLabel>(main(), "Label4")->text(), QStringLiteral("REC"));
    EXPECT_TRUE(control<QPushButton>(main(), "BitBtn3")->property("lit").toBool());
    QTest::mouseClick(control<QPushButton>(main(), "BitBtn2"), Qt::LeftButton);
    EXPECT_TRUE(waitFor([&] { return !tallyLit(); }, 3000));
    EXPECT_EQ(control<QLabel>(main(), "Label4")->text(), QStringLiteral("STOP"));
    EXPECT_FALSE(control<QPushButton>(main(), "BitBtn3")->property("lit").toBool());
    EXPECT_EQ(lamp(), QStringLiteral("LINK OK 127.0.0.1"));

    QElapsedTimer silent;
    silent.start();
    sims_.clear();  // both recorders gone
    EXPECT_TRUE(waitFor([&] { return lamp().startsWith(QStringLiteral("NO REPLY 1 s")); }, 2000))
        << lamp().toStdString();
    EXPECT_GE(silent.elapsed(), 900) << "one missed reply is not yet a dead link";
    EXPECT_FALSE(status->isLive());
    EXPECT_TRUE(waitFor([&] { return lamp().startsWith(QStringLiteral("NO REPLY 2 s")); }, 2000))
        << lamp().toStdString();
}

}  // namespace
}  // namespace qz7::test
