// The deck's view follows the deck against a simulated recorder: the link
// words and the lamp, the hosts, the timecode, the transport word and REC,
// and the number line, each move told once with the fields that moved.
#include "deck_fixture.h"

#include "deck/deck_view.h"

namespace qz7::test {
namespace {

TEST_F(DeckTest, TheViewFollowsTheLinkAndTheRecordersStatus) {
    Deck& d = startDeck(72);
    const DeckView& view = d.view();
    ViewState::Fields told = 0;
    int toldCount = 0;
    QObject::connect(&view, &DeckView::changed, [&](ViewState::Fields f) {
        EXPECT_NE(f, 0u);
        told |= f;
        ++toldCount;
    });
    // Before the first reply: nothing reported, the configured pair shown.
    EXPECT_EQ(view.state().link, "OFF");
    EXPECT_EQ(view.state().lamp, "LINK OFF");
    EXPECT_EQ(view.state().transport, "");
    EXPECT_EQ(view.state().hosts, (std::vector<std::string>{"127.0.72.1", "127.0.72.2"}));

    ASSERT_TRUE(applyAndWait(1));
    ASSERT_TRUE(waitFor([&] { return view.state().link == "OK" && !view.state().transport.empty(); }));
    EXPECT_EQ(view.state().lamp, "LINK OK 127.0.72.2");
    EXPECT_EQ(view.state().lampState, "ok");
    EXPECT_EQ(view.state().hosts, (std::vector<std::string>{"127.0.72.2", "127.0.72.1"}));
    EXPECT_EQ(view.state().transport, "STOP");
    EXPECT_EQ(view.state().number, "REC FILE : 000");
    const unsigned expected = ViewState::Link | ViewState::Lamp | ViewState::LampState | ViewState::Hosts |
                              ViewState::Transport | ViewState::Number;
    EXPECT_EQ(told & expected, expected);

    // Recording: the word, REC and the new file's number move together.
    told = 0;
    ASSERT_TRUE(d.record(Origin::panel()).queued());
    ASSERT_TRUE(waitFor([&] { return view.state().rec == 1; }));
    EXPECT_EQ(view.state().transport, "REC");
    EXPECT_NE(told & ViewState::Rec, 0u);
    ASSERT_TRUE(waitFor([&] { return view.state().timecode != "00:00:00:00"; }));

    // A quiet view tells nothing: every signal names a field that moved.
    ASSERT_TRUE(d.stop(false, Origin::panel()).queued());
    ASSERT_TRUE(waitFor([&] { return view.state().rec == 0 && view.state().transport == "STOP"; }));
    const ViewState before = view.state();
    EXPECT_EQ(before.differences(before), 0u);
    EXPECT_GT(toldCount, 0);
}

}  // namespace
}  // namespace qz7::test
