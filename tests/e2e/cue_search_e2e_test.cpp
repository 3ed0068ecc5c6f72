// Cue against Srh end to end: the operator picks a cue mark and presses Cue
// or Srh; the simulated recorder goes to the mark less the preroll time (Cue)
// or to the mark itself (Srh), and the status panel's timecode shows where it
// stopped. First with the recorder's default preroll (06, the Control page's
// initial value), then with a preroll set through the Control page's "SET".
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "live_panel.h"

namespace qz7::test {
namespace {

class CueSearchE2E : public LivePanelTest {
protected:
    // The status panel's timecode as hh:mm:ss:ff.
    QString shownTimecode() {
        QStringList parts;
        for (const char* name : {"Label3", "Label30", "Label31", "Label32"}) parts << control<QLabel>(main(), name)->text();
        return parts.join(QLatin1Char(':'));
    }
    // Waits for the recorder's timecode answer to show `expected`.
    ::testing::AssertionResult showsTimecode(const QString& expected) {
        if (waitFor([&] { return shownTimecode() == expected; }, 5000)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "timecode shows " << shownTimecode().toStdString() << ", not "
                                             << expected.toStdString();
    }
    void click(const char* button) { QTest::mouseClick(control<QPushButton>(main(), button), Qt::LeftButton); }
};

TEST_F(CueSearchE2E, CueStopsThePrerollBeforeTheMarkAndSrhAtIt) {
    const QString address = QStringLiteral("127.0.0.51");
    qz7sim::Config content;
    content.cues = 3;  // "CUE 000" .. "CUE 002" at 00:00:05:00, 00:00:15:00, 00:00:25:00
    startSim(address, content);
    MainWindow& m = startPanel(DevicePair{address, QStringLiteral("QA51200040"), address, QStringLiteral("QA51200041"), true});
    m.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m));
    apply(0);
    ASSERT_TRUE(retrieve());
    ASSERT_TRUE(waitDrained(30000)) << "the list refresh did not drain";

    QListWidget* cues = control<QListWidget>(main(), "ListBox4");
    ASSERT_GE(cues->count(), 3);
    ASSERT_EQ(cues->item(2)->text(), QStringLiteral("00:00:25:00 CUE 002"));
    QListWidgetItem* line = cues->item(2);
    cues->scrollToItem(line);
    QTest::mouseClick(cues->viewport(), Qt::LeftButton, {}, cues->visualItemRect(line).center());
    ASSERT_EQ(cues->currentRow(), 2);

    click("BitBtn21");  // Srh: the mark itself
    EXPECT_TRUE(showsTimecode(QStringLiteral("00:00:25:00")));
    click("BitBtn22");  // Cue: the recorder's default preroll of 6 s before it
    EXPECT_TRUE(showsTimecode(QStringLiteral("00:00:19:00")));

    // Preroll 12 through the Control page. Entering the page reads the
    // recorder's preroll back into the field, so type only once that is done.
    control<QTabWidget>(main(), "PageControl1")->setCurrentIndex(MainWindow::ControlTab);
    ASSERT_TRUE(waitDrained(5000));
    control<QLineEdit>(main(), "MaskEdit10")->setText(QStringLiteral("12"));
    click("Button16");  // "SET"
    ASSERT_TRUE(waitDrained(5000));

    click("BitBtn22");  // Cue
    EXPECT_TRUE(showsTimecode(QStringLiteral("00:00:13:00")));
    click("BitBtn21");  // Srh
    EXPECT_TRUE(showsTimecode(QStringLiteral("00:00:25:00")));
}

}  // namespace
}  // namespace qz7::test
