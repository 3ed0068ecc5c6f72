// The lines of the file, clip and cue lists as the window's lists show them,
// kept without widgets for front ends that show the lists elsewhere (the web
// page). It sits between the media model and the window's lists: each change
// goes to the window first, then is kept here under the same rules, and the
// list that moved is reported. Plain C++.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "media/media_model.h"

namespace qz7 {

class MediaLines : public MediaObserver {
public:
    using Changed = std::function<void(MediaList list)>;

    void setDownstream(MediaObserver* observer) { downstream_ = observer; }
    void setChanged(Changed changed) { changed_ = std::move(changed); }

    // Files, Clips and Cues are kept; the others are passed on only.
    static bool kept(MediaList list);
    // The list's lines, blanks included: a line's index is its number in the list.
    const std::vector<std::string>& lines(MediaList list) const;

    void lineChanged(MediaList list, int line, const std::string& text, LineWrite how) override;
    void blankLinesAppended(MediaList list, int count) override;
    void countsChanged() override;

private:
    std::vector<std::string>& of(MediaList list);

    MediaObserver* downstream_ = nullptr;
    Changed changed_;
    std::array<std::vector<std::string>, 3> lines_;
};

}  // namespace qz7
