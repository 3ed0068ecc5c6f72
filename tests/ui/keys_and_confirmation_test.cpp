// The transport keys, transport buttons that never keep the focus, Jog and
// Var showing the mode, and a "Confirmation" that only a deliberate OK passes.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "panel_fixture.h"
#include "ui/config_page.h"
#include "ui/confirmation_dialog.h"
#include "ui/device_page.h"
#include "ui/radio_group.h"
#include "ui/cue_group.h"
#include "ui/transport_panel.h"

namespace qz7::test {
namespace {

DevicePair loopbackPair(bool single = false) {
    DevicePair pair;
    pair.first = QStringLiteral("127.0.0.1");
    pair.second = QStringLiteral("127.0.0.2");
    pair.single = single;
    return pair;
}

// The main window shown and active, on loopback hosts, with the transport
// panel usable as after "Apply".
class KeysTest : public PanelTest {
protected:
    void SetUp() override {
        ErrorBox::dismiss();
        ErrorBox::resetCounters();
        forms = std::make_unique<StandaloneForms>(loopbackPair());
        main().deck().linkForTesting().pollDriver().stop();
        linkOn();
        main().show();
        main().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
        panel = main().transportPanel();
        panel->setEnabled(true);
        // Focus somewhere far from the transport panel.
        main().devicePage()->addressEdit->setFocus();
        QCoreApplication::processEvents();
    }
    QWidget* focused() { return QApplication::focusWidget() ? QApplication::focusWidget() : &main(); }

    TransportPanel* panel = nullptr;
};

TEST_F(KeysTest, FunctionKeysRunTheBigTransportButtonsFromAnywhereInTheWindow) {
    const struct {
        QKeyCombination key;
        QPushButton* button;
        QString tip;
    } keys[] = {
        {Qt::Key_F5, panel->rewindButton, QStringLiteral("Rewind (F5)")},
        {Qt::Key_F6, panel->stopButton, QStringLiteral("Stop (F6)")},
        {Qt::Key_F7, panel->playButton, QStringLiteral("Play (F7)")},
        {Qt::Key_F8, panel->fastForwardButton, QStringLiteral("Fast forward (F8)")},
        {Qt::SHIFT | Qt::Key_F9, panel->recordButton, QStringLiteral("Record (Shift+F9)")},
    };
    for (const auto& k : keys) {
        QTest::mouseClick(k.button, Qt::LeftButton);
        const auto byClick = takeQueued();
        ASSERT_EQ(byClick.size(), 1u);
        QTest::keyClick(focused(), k.key.key(), k.key.keyboardModifiers());
        EXPECT_EQ(takeQueued(), byClick) << k.tip.toStdString();
        EXPECT_EQ(k.button->toolTip(), k.tip);
    }
    EXPECT_EQ(panel->playButton->accessibleName(), QStringLiteral("Play"));

    QTest::keyClick(focused(), Qt::Key_F9);
    EXPECT_TRUE(takeQueued().empty()) << "F9 without Shift records nothing";

    panel->setEnabled(false);  // as before "Apply"
    for (const auto& k : keys) QTest::keyClick(focused(), k.key.key(), k.key.keyboardModifiers());
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(KeysTest, SpaceOrReturnAfterAClickNeverRepeatsATransportCommand) {
    for (QPushButton* b : {panel->playButton, panel->recordButton, panel->stopButton, panel->fastForwardButton, panel->rewindButton,
                           panel->reverseButton, panel->forwardButton}) {
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_EQ(takeQueued().size(), 1u);
        QTest::keyClick(focused(), Qt::Key_Space);
        QTest::keyClick(focused(), Qt::Key_Return);
        EXPECT_TRUE(takeQueued().empty()) << b->objectName().toStdString();
    }
    // Mrk, Cue and Srh neither: three presses of Space made three identical cue marks.
    for (const char* name : {"BitBtn20", "BitBtn22", "BitBtn21"}) {
        auto* b = find<QPushButton>(QString::fromLatin1(name));
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus) << name;
    }
    main().cueGroup()->setEnabled(true);
    QTest::mouseClick(find<QPushButton>(QStringLiteral("BitBtn20")), Qt::LeftButton);
    EXPECT_EQ(takeQueued().size(), 1u);
    QTest::keyClick(focused(), Qt::Key_Space);
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(KeysTest, JogAndVarShowWhichModeIsOn) {
    QPushButton* jog = panel->jogButton;
    QPushButton* var = panel->varButton;
    EXPECT_TRUE(var->isChecked());
    EXPECT_FALSE(jog->isChecked());
    for (int i = 0; i < 2; ++i) {  // a second click on the mode already on keeps it on
        QTest::mouseClick(jog, Qt::LeftButton);
        EXPECT_EQ(panel->jogMode, 1);
        EXPECT_TRUE(jog->isChecked());
        EXPECT_FALSE(var->isChecked());
    }
    for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(var, Qt::LeftButton);
        EXPECT_EQ(panel->jogMode, 0);
        EXPECT_TRUE(var->isChecked());
        EXPECT_FALSE(jog->isChecked());
    }
    EXPECT_TRUE(takeQueued().empty());
}

class ConfirmationTest : public PanelTest {
protected:
    void SetUp() override { useDevices(loopbackPair()); }
    void useDevices(const DevicePair& pair) {
        ErrorBox::dismiss();
        forms = std::make_unique<StandaloneForms>(pair);
        main().deck().linkForTesting().pollDriver().stop();
    }

    // Runs `action`, answers the dialog with `answer` and returns what whatLabel said.
    QString ask(const std::function<void()>& action, const std::function<void(ConfirmationDialog*)>& answer) {
        QString said;
        whenModalShows([&](QWidget* shown) {
            ConfirmationDialog* dialog = forms->confirmationDialog();
            EXPECT_EQ(shown, dialog);
            said = dialog->whatLabel->text();
            answer(dialog);
        });
        action();
        return said;
    }
    void clear(const char* item) { find<QAction>(QString::fromLatin1(item))->trigger(); }
    void erase() { QTest::mouseClick(main().configPage()->eraseDisksButton, Qt::LeftButton); }
    static void cancel(ConfirmationDialog* d) { d->reject(); }
};

TEST_F(ConfirmationTest, ReturnAndEscapeNeverConfirm) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        ask([this] { erase(); },
            [key](ConfirmationDialog* d) {
                // A busy machine shows the dialog a moment before it has the focus.
                ASSERT_TRUE(QTest::qWaitForWindowActive(d));
                EXPECT_EQ(QApplication::focusWidget(), d->cancelButton) << "Cancel has the focus";
                EXPECT_TRUE(d->cancelButton->isDefault());
                QTest::keyClick(QApplication::focusWidget(), key);
            });
        ask([this] { clear("ClearCueList1"); },
            [key](ConfirmationDialog* d) {
                // Even with the focus moved onto OK.
                ASSERT_TRUE(QTest::qWaitForWindowActive(d));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
                EXPECT_EQ(QApplication::focusWidget(), d->okButton);
                QTest::keyClick(QApplication::focusWidget(), key);
            });
        EXPECT_FALSE(forms->confirmationDialog()->isVisible());
        EXPECT_TRUE(takeQueued().empty()) << QKeySequence(key).toString().toStdString();
    }
    ask([this] { clear("ClearCueList1"); }, [](ConfirmationDialog* d) { QTest::mouseClick(d->okButton, Qt::LeftButton); });
    EXPECT_EQ(takeQueued().size(), 1u) << "OK still confirms";
}

TEST_F(ConfirmationTest, SaysWhatOkWillDoAndOnWhichRecorders) {
    EXPECT_EQ(ask([this] { clear("ClearCueList1"); }, cancel),
              QStringLiteral("Clear all cue marks on 127.0.0.1 and 127.0.0.2"));
    main().devicePage()->deviceList->setCurrentRow(1);
    QTest::mouseClick(main().devicePage()->applyButton, Qt::LeftButton);  // "Apply": 127.0.0.2 selected
    EXPECT_EQ(ask([this] { clear("ClearClipList1"); }, cancel),
              QStringLiteral("Clear all clips on 127.0.0.2 and 127.0.0.1"));
    EXPECT_EQ(ask([this] { clear("ClearSeq1"); }, cancel),
              QStringLiteral("Clear all sequences on 127.0.0.2 and 127.0.0.1"));
    main().configPage()->diskConfigurationGroup->button(1)->click();
    EXPECT_EQ(ask([this] { erase(); }, cancel),
              QStringLiteral("Erase all disks as RAID 1 (Mirroring) on 127.0.0.2 and 127.0.0.1"));

    useDevices(loopbackPair(true));
    EXPECT_EQ(ask([this] { erase(); }, cancel), QStringLiteral("Erase all disks as RAID 0 on 127.0.0.1"));
}

}  // namespace
}  // namespace qz7::test
