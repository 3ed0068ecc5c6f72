// The status words every front end shows, made in one place: the link word,
// the lamp, its colour, the stderr line and the error line.
#include <gtest/gtest.h>

#include "link/status_text.h"

namespace qz7 {
namespace {

TEST(StatusWords, LinkLampAndErrorWordsForEveryState) {
    struct Case {
        LinkState state;
        const char *word, *lamp, *colour, *line;
    };
    const Case cases[] = {
        {LinkState::Off, "OFF", "LINK OFF", "off", "LINK OFF"},
        // Waiting for the first reply counts as no reply for remote clients.
        {LinkState::Waiting, "NO REPLY", "WAITING 10.0.5.31", "waiting", "WAITING 10.0.5.31"},
        {LinkState::Ok, "OK", "LINK OK 10.0.5.31", "ok", "LINK OK 10.0.5.31"},
        // A silence is one stderr line, not one a second.
        {LinkState::NoReply, "NO REPLY", "NO REPLY 7 s", "noreply", "NO REPLY"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(linkWord(c.state), c.word);
        EXPECT_EQ(lampText(c.state, "10.0.5.31", 7, false), c.lamp);
        EXPECT_EQ(lampText(c.state, "10.0.5.31", 7, true), std::string(c.lamp) + "  SEND ERROR");
        EXPECT_EQ(lampStateWord(c.state), c.colour);
        EXPECT_EQ(linkLine(c.state, "10.0.5.31"), c.line);
    }
    EXPECT_EQ(errorLine("FAN STOP"), "ERR : FAN STOP");
}

}  // namespace
}  // namespace qz7
