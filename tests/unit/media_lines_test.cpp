// The list lines kept without widgets: the same lines the window's lists
// show, under the same rules, and nothing kept that the window refused.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "media/media_lines.h"

namespace qz7 {
namespace {

// A window list that refuses a line beyond its end, as the real one does.
struct StrictList : MediaObserver {
    std::vector<std::string> lines;
    void lineChanged(MediaList list, int line, const std::string& text, LineWrite how) override {
        if (list != MediaList::Files) return;
        const auto k = static_cast<std::size_t>(line);
        if (how == LineWrite::Grow)
            while (lines.size() < k) lines.emplace_back(" ");
        if (k < lines.size())
            lines[k] = text;
        else if (k == lines.size())
            lines.push_back(text);
        else if (how != LineWrite::IfReachable)
            throw std::out_of_range("List index out of bounds (" + std::to_string(line) + ")");
    }
    void blankLinesAppended(MediaList list, int count) override {
        if (list == MediaList::Files) lines.insert(lines.end(), static_cast<std::size_t>(count), " ");
    }
};

TEST(MediaLines, KeepsWhatTheWindowShowsAndReportsEachChangedList) {
    MediaLines kept;
    StrictList window;
    kept.setDownstream(&window);
    std::vector<MediaList> changed;
    kept.setChanged([&](MediaList l) { changed.push_back(l); });

    kept.blankLinesAppended(MediaList::Files, 3);
    kept.lineChanged(MediaList::Files, 1, "FILE 002", LineWrite::Replace);
    kept.lineChanged(MediaList::Files, 3, "FILE 004", LineWrite::Replace);  // appends
    kept.lineChanged(MediaList::Files, 6, "FILE 007", LineWrite::Grow);     // blanks before it
    EXPECT_EQ(kept.lines(MediaList::Files), window.lines);
    EXPECT_EQ(kept.lines(MediaList::Files),
              (std::vector<std::string>{" ", "FILE 002", " ", "FILE 004", " ", " ", "FILE 007"}));

    // The window refuses a line past its end: the operation ends, nothing is kept.
    EXPECT_THROW(kept.lineChanged(MediaList::Files, 20, "FILE 021", LineWrite::Replace), std::out_of_range);
    kept.lineChanged(MediaList::Files, 20, "FILE 021", LineWrite::IfReachable);
    EXPECT_EQ(kept.lines(MediaList::Files), window.lines);

    // Without a window a line past the end is left alone, quietly.
    MediaLines alone;
    alone.lineChanged(MediaList::Cues, 2, "CUE 002", LineWrite::Replace);
    alone.lineChanged(MediaList::Cues, 0, "CUE 000", LineWrite::Replace);
    EXPECT_EQ(alone.lines(MediaList::Cues), std::vector<std::string>{"CUE 000"});

    // Sequences and the schedule's clips are passed on, not kept.
    kept.lineChanged(MediaList::Sequences, 0, "SEQ 00", LineWrite::Replace);
    EXPECT_TRUE(kept.lines(MediaList::Sequences).empty());
    EXPECT_EQ(changed, (std::vector<MediaList>{MediaList::Files, MediaList::Files, MediaList::Files, MediaList::Files}));
}

}  // namespace
}  // namespace qz7
