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
#include "ui/confirmation_dialog.h"
#include "ui/radio_group.h"
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
        deck().linkForTesting().pollDriver().stop();
        linkOn();
        main().show();
        main().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
        panel = control<TransportPanel>(main(), "Panel7");
        panel->setEnabled(true);
        // Focus somewhere far from the transport panel.
        control<QLineEdit>(main(), "Edit13")->setFocus();
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
        {Qt::Key_F5, control<QPushButton>(main(), "BitBtn6"), QStringLiteral("Rewind (F5)")},
        {Qt::Key_F6, control<QPushButton>(main(), "BitBtn2"), QStringLiteral("Stop (F6)")},
        {Qt::Key_F7, control<QPushButton>(main(), "BitBtn1"), QStringLiteral("Play (F7)")},
        {Qt::Key_F8, control<QPushButton>(main(), "BitBtn5"), QStringLiteral("Fast forward (F8)")},
        {Qt::SHIFT | Qt::Key_F9, control<QPushButton>(main(), "BitBtn3"), QStringLiteral("Record (Shift+F9)")},
    };
    for (const auto& k : keys) {
        QTest::mouseClick(k.button, Qt::LeftButton);
        const auto byClick = takeQueued();
        ASSERT_EQ(byClick.size(), 1u);
        QTest::keyClick(focused(), k.key.key(), k.key.keyboardModifiers());
        EXPECT_EQ(takeQueued(), byClick) << k.tip.toStdString();
        EXPECT_EQ(k.button->toolTip(), k.tip);
    }
    EXPECT_EQ(control<QPushButton>(main(), "BitBtn1")->accessibleName(), QStringLiteral("Play"));

    QTest::keyClick(focused(), Qt::Key_F9);
    EXPECT_TRUE(takeQueued().empty()) << "F9 without Shift records nothing";

    panel->setEnabled(false);  // as before "Apply"
    for (const auto& k : keys) QTest::keyClick(focused(), k.key.key(), k.key.keyboardModifiers());
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(KeysTest, SpaceOrReturnAfterAClickNeverRepeatsATransportCommand) {
    for (QPushButton* b : {control<QPushButton>(main(), "BitBtn1"), control<QPushButton>(main(), "BitBtn3"), control<QPushButton>(main(), "BitBtn2"), control<QPushButton>(main(), "BitBtn5"), control<QPushButton>(main(), "BitBtn6"),
                           control<QPushButton>(main(), "BitBtn9"), control<QPushButton>(main(), "BitBtn10")}) {
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_EQ(takeQueued().size(), 1u);
        QTest::keyClick(focused(), Qt::Key_Space);
        QTest::keyClick(focused(), Qt::Key_Return);
        EXPECT_TRUE(takeQueued().empty()) << b->objectName().toStdString();
    }
    // Mrk, Cue and Srh neither: three presses of Space made three identical cue marks.
    for (const char* name : {"BitBtn20", "BitBtn22", "BitBtn21"}) {
        auto* b = control<QPushButton>(main(), name);
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus) << name;
    }
    control<QWidget>(main(), "GroupBox5")->setEnabled(true);
    QTest::mouseClick(control<QPushButton>(main(), "BitBtn20"), Qt::LeftButton);
    EXPECT_EQ(takeQueued().size(), 1u);
    QTest::keyClick(focused(), Qt::Key_Space);
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(KeysTest, JogAndVarShowWhichModeIsOn) {
    QPushButton* jog = control<QPushButton>(main(), "BitBtn11");
    QPushButton* var = control<QPushButton>(main(), "BitBtn4");
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
        deck().linkForTesting().pollDriver().stop();
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
    void clear(const char* item) { control<QAction>(main(), item)->trigger(); }
    void erase() { QTest::mouseClick(control<QPushButton>(main(), "Button9"), Qt::LeftButton); }
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
    control<QListWidget>(main(), "ListBox5")->setCurrentRow(1);
    QTest::mouseClick(control<QPushButton>(main(), "Button7"), Qt::LeftButton);  // "Apply": 127.0.0.2 selected
    EXPECT_EQ(ask([this] { clear("ClearClipList1"); }, cancel),
              QStringLiteral("Clear all clips on 127.0.0.2 and 127.0.0.1"));
    EXPECT_EQ(ask([this] { clear("ClearSeq1"); }, cancel),
              QStringLiteral("Clear all sequences on 127.0.0.2 and 127.0.0.1"));
    control<RadioGroup>(main(), "RadioGroup2")->button(1)->click();
    EXPECT_EQ(ask([this] { erase(); }, cancel),
              QStringLiteral("Erase all disks as RAID 1 (Mirroring) on 127.0.0.2 and 127.0.0.1"));

    useDevices(loopbackPair(true));
    EXPECT_EQ(ask([this] { erase(); }, cancel), QStringLiteral("Erase all disks as RAID 0 on 127.0.0.1"));
}

}  // namespace
}  // namespace qz7::test
