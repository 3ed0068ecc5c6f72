// The Character page sends the whole overlay setting on every change, and the
// recorder's answer replays each change it makes as one command.
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>

#include "deck/deck.h"
#include "panel_fixture.h"
#include "settings_helpers.h"
#include "ui/character_page.h"

namespace qz7::test {
namespace {

// The page at start: position 0, 0; level "1"; all items; insertion on; large.
const Bytes kDefaults{0x00, 0x00, 0x01, 0x02, 0x00, 0x10, 0x0E, 0x0F,
                      0x0D, 0x0B, 0x0A, 0x0C, 0x09, 0x11, 0x02, 0x00};

Bytes command(const Bytes& data) {
    Bytes b{0x3E, 0x10, 0x34, 0x78};
    b.insert(b.end(), data.begin(), data.end());
    return withSum(b);
}

class CharacterPageTest : public PanelTest {
protected:
    CharacterPage* page() { return control<CharacterPage>(main(), "TabSheet8"); }
    void answer(const Bytes& data) { feed(reply(Group::Answer, 0x78, data)); }
};

TEST_F(CharacterPageTest, EveryChangeSendsTheWholePage) {
    toggle(control<QCheckBox>(main(), "CheckBox13"));  // "Quality" off
    Bytes expected = kDefaults;
    expected[9] = 0x00;
    EXPECT_EQ(takeQueued(), std::vector<Bytes>{command(expected)});

    const std::pair<int, std::pair<std::uint8_t, std::uint8_t>> levels[] = {
        {0, {0x00, 0x00}}, {2, {0x03, 0x04}}, {4, {0x07, 0x08}}};
    for (auto [item, pair] : levels) {
        pick(control<RadioGroup>(main(), "RadioGroup1"), item);
        const auto q = takeQueued();
        ASSERT_EQ(q.size(), 1u);
        EXPECT_EQ(q[0][6], pair.first) << "level " << item;
        EXPECT_EQ(q[0][7], pair.second) << "level " << item;
    }
    pick(control<RadioGroup>(main(), "RadioGroup16"), 0);  // insertion "OFF"
    pick(control<RadioGroup>(main(), "RadioGroup23"), 1);  // "Small"
    const auto q = takeQueued();
    ASSERT_EQ(q.size(), 2u);
    EXPECT_EQ(q[0].size(), 21u);
    EXPECT_EQ(q[0][18], 0x00);
    EXPECT_EQ(q[1][18], 0x00);
    EXPECT_EQ(q[1][19], 0x01);
}

TEST_F(CharacterPageTest, PositionButtonsStepWithinTheirRangeAndSendOnlyOnAMove) {
    press(control<QPushButton>(main(), "BitBtn19"));  // "U" at 0
    press(control<QPushButton>(main(), "BitBtn24"));  // "L" at 0
    EXPECT_TRUE(takeQueued().empty());

    for (int i = 0; i < 45; ++i) press(control<QPushButton>(main(), "BitBtn29"));
    auto q = takeQueued();
    ASSERT_EQ(q.size(), 40u);
    EXPECT_EQ(q.front()[4], 1);
    EXPECT_EQ(q.back()[4], 40);
    EXPECT_EQ(page()->horizontal(), 40);

    press(control<QPushButton>(main(), "BitBtn23"));  // "D" to 1
    press(control<QPushButton>(main(), "BitBtn19"));  // "U" at 1
    q = takeQueued();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0][5], 1);
    for (int i = 0; i < 19; ++i) press(control<QPushButton>(main(), "BitBtn23"));
    EXPECT_EQ(takeQueued().size(), 19u);
    press(control<QPushButton>(main(), "BitBtn23"));  // "D" at 20
    EXPECT_TRUE(takeQueued().empty());
    EXPECT_EQ(page()->vertical(), 20);
}

TEST_F(CharacterPageTest, AnswerSendsOncePerChangedControlAndNeverAMixOfOldAndNew) {
    std::vector<Origin> senders;
    QObject::connect(&deck(), &Deck::operated, &main(), [&senders](const Origin& o, const QString& op) {
        if (op == QStringLiteral("settings/character/write")) senders.push_back(o);
    });
    Bytes a = kDefaults;
    a[0] = 0x05;
    a[1] = 0x07;
    a[5] = 0x00;  // "Disk mode" off
    a[9] = 0x00;  // "Quality" off
    answer(a);

    // Two controls changed: two commands, and the one the recorder receives
    // last carries the answer's "Quality" too, not the page's old one.
    EXPECT_EQ(takeTransmitOrder(), (std::vector<Bytes>{command(a), command(a)}));
    EXPECT_EQ(senders, (std::vector<Origin>{Origin::recorder(), Origin::recorder()})) << "the answer sent them";
    EXPECT_FALSE(control<QCheckBox>(main(), "CheckBox1")->isChecked());
    EXPECT_FALSE(control<QCheckBox>(main(), "CheckBox13")->isChecked());

    // Same again, positions aside: nothing to replay.
    a[0] = 0x20;
    answer(a);
    EXPECT_TRUE(takeQueued().empty());
    EXPECT_EQ(page()->horizontal(), 0x20);
}

TEST_F(CharacterPageTest, AnswerDecodesLevelsFlagsAndSignedPositions) {
    Bytes a = kDefaults;
    a[2] = 0x02;   // not a level's first byte: "4"
    a[14] = 0x07;  // any nonzero is "ON"
    a[15] = 0x03;  // bit 0: "Small"
    answer(a);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup1")->itemIndex(), 4);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup16")->itemIndex(), 1);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup23")->itemIndex(), 1);
    EXPECT_EQ(takeQueued().size(), 2u);  // level and size changed

    // Outside the buttons' range: "L" steps down from it, "R" waits.
    a[0] = 0x50;
    a[1] = 0xFB;
    answer(a);
    EXPECT_EQ(page()->horizontal(), 80);
    EXPECT_EQ(page()->vertical(), -5);
    press(control<QPushButton>(main(), "BitBtn29"));
    EXPECT_TRUE(takeQueued().empty());
    press(control<QPushButton>(main(), "BitBtn24"));
    const auto q = takeQueued();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_EQ(q[0][4], 79);
    EXPECT_EQ(q[0][5], 0xFB);

    control<QTabWidget>(main(), "PageControl1")->setCurrentIndex(MainWindow::CharacterTab);
    EXPECT_EQ(takeQueued(), std::vector<Bytes>{withSum({0x3E, 0x00, 0x36, 0x78})});
}

}  // namespace
}  // namespace qz7::test
