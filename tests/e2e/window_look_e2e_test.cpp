// The window as the operator sees it after "Apply" and "Retrieve" against a
// recorder that never answers some requests, and the "Last file erase"
// question. With QZ7_SCREENSHOT_DIR set, the views are saved there as PNG.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "live_panel.h"
#include "ui/last_file_erase_dialog.h"
#include "ui/main_window.h"

namespace qz7::test {
namespace {

void save(QWidget* w, const char* name) {
    const QString dir = qEnvironmentVariable("QZ7_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    w->grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
}

class WindowLookSlowE2E : public LivePanelTest {};

TEST_F(WindowLookSlowE2E, AnIncompleteRetrieveStaysInViewAndTheEraseQuestionNamesTheRecorders) {
    qz7sim::Config config;
    config.files = 6;
    config.clips = 4;
    config.cues = 3;
    qz7sim::SimOptions lossy;
    lossy.dropPercent = 40;
    lossy.seed = 7;
    startSim(QStringLiteral("127.0.0.91"), config, lossy);
    startSim(QStringLiteral("127.0.0.92"), config);
    MainWindow& m = startPanel(DevicePair{QStringLiteral("127.0.0.91"), QStringLiteral("QA1"), QStringLiteral("127.0.0.92"),
                                      QStringLiteral("QA2"), false});
    deck().setClockForTesting([] {
        static qint64 fake = 0;
        return fake += 100;  // every look at the clock is a tenth of a second on
    });
    m.resize(1280, 720);
    m.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m));
    // The link start itself may be lost: "Apply" again, as the operator would.
    for (int i = 0; i < 20 && !control<QPushButton>(m, "Button6")->isEnabled(); ++i) {
        apply(0);
        waitFor([&] { return control<QPushButton>(m, "Button6")->isEnabled(); }, 300);
    }
    ASSERT_TRUE(control<QPushButton>(m, "Button6")->isEnabled());
    QTest::mouseClick(control<QPushButton>(m, "Button6"), Qt::LeftButton);
    auto* bar = control<QProgressBar>(m, "RetrieveProgress");
    ASSERT_TRUE(waitFor([&] { return !deck().retrieveProgress().running; }, 20000));
    const RetrieveProgressState& p = deck().retrieveProgress();
    ASSERT_TRUE(p.incomplete) << "40 % of the requests lost three times over leaves holes";
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->text(), QStringLiteral("Retrieve incomplete: %1 did not answer").arg(p.missing));
    EXPECT_EQ(bar->toolTip().toStdString(), p.missingText);
    EXPECT_TRUE(control<QPushButton>(m, "Button6")->isEnabled());
    save(&m, "main_window_retrieve_incomplete");

    QString where;
    auto* erase = control<QAction>(m, "LastFileErase2");
    ASSERT_NE(erase, nullptr);
    QTimer::singleShot(300, [&] {
        auto* dialog = qobject_cast<LastFileEraseDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        where = dialog->recordersLabel->text();
        save(dialog, "last_file_erase");
        dialog->cancelButton->click();
    });
    erase->trigger();
    EXPECT_EQ(where, QStringLiteral("on 127.0.0.91 and 127.0.0.92"));
}

}  // namespace
}  // namespace qz7::test
