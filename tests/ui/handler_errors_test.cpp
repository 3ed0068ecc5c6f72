// A handler's error ends that handler at the wrapper and shows one box; it
// never unwinds through Qt's frames. The sanitizer run (leak checking on)
// runs this many times: an unwind through frames without unwind tables
// skips their destructors and would leak on every click.
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "panel_fixture.h"
#include "ui/handler.h"
#include "ui/radio_group.h"

namespace qz7::test {
namespace {

class HandlerErrorsTest : public PanelTest {};

TEST_F(HandlerErrorsTest, ThrowingHandlerShowsOneBoxPerClickAndTheWindowGoesOn) {
    control<QLineEdit>(main(), "MaskEdit16")->setText(QString());  // "Clip No." left blank: SAVE cannot convert it
    for (int i = 0; i < 400; ++i) {
        QTest::mouseClick(control<QPushButton>(main(), "BitBtn27"), Qt::LeftButton);
        ASSERT_TRUE(ErrorBox::isOpen()) << "click " << i;
        ErrorBox::dismiss();
    }
    EXPECT_EQ(ErrorBox::shownCount(), 400);
    EXPECT_TRUE(ErrorBox::lastMessage().contains(QStringLiteral("は整数ではありません")));
    EXPECT_TRUE(takeQueued().empty());

    // The same page still works afterwards.
    control<QLineEdit>(main(), "MaskEdit16")->setText(QStringLiteral("007"));
    QTest::mouseClick(control<QPushButton>(main(), "BitBtn27"), Qt::LeftButton);
    EXPECT_FALSE(ErrorBox::isOpen());
    EXPECT_EQ(takeQueued().size(), 1u);
}

// A handler run by a signal emitted from program code (a reply setting a
// radio group) is caught at its own wrapper: the emitter goes on.
TEST_F(HandlerErrorsTest, ErrorInANestedHandlerStopsAtItsWrapper) {
    RadioGroup group(QStringLiteral("Probe"), QString(), {QStringLiteral("A"), QStringLiteral("B")}, 0);
    int after = 0;
    onSignal(&group, &RadioGroup::clicked, &group, [] { throw std::runtime_error("probe failed"); });
    group.setFromReply(1);  // runs the click action, which throws
    ++after;
    EXPECT_EQ(after, 1);
    EXPECT_EQ(ErrorBox::lastMessage(), QStringLiteral("probe failed"));
    ErrorBox::dismiss();
}

}  // namespace
}  // namespace qz7::test
