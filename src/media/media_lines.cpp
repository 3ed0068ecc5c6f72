#include "media/media_lines.h"

#include <algorithm>

namespace qz7 {

namespace {
// The longest list any reply or "Retrieve" makes is 512 lines; a line beyond
// this is not kept, whatever asks for it.
constexpr int kMostLines = 4096;

std::size_t slot(MediaList list) {
    switch (list) {
    case MediaList::Files: return 0;
    case MediaList::Clips: return 1;
    default: return 2;
    }
}
}  // namespace

bool MediaLines::kept(MediaList list) {
    return list == MediaList::Files || list == MediaList::Clips || list == MediaList::Cues;
}

const std::vector<std::string>& MediaLines::lines(MediaList list) const {
    static const std::vector<std::string> none;
    return kept(list) ? lines_[slot(list)] : none;
}

std::vector<std::string>& MediaLines::of(MediaList list) { return lines_[slot(list)]; }

void MediaLines::lineChanged(MediaList list, int line, const std::string& text, LineWrite how) {
    // The window's list may refuse the line (it throws and the operation
    // ends): then it is not kept here either, and both show the same.
    if (downstream_) downstream_->lineChanged(list, line, text, how);
    if (!kept(list) || line < 0 || line >= kMostLines) return;
    std::vector<std::string>& lines = of(list);
    const auto k = static_cast<std::size_t>(line);
    if (how == LineWrite::Grow)
        while (lines.size() < k) lines.emplace_back(" ");
    // Beyond the end the window raises "List index out of bounds"; without a
    // window the line is left alone.
    if (k < lines.size())
        lines[k] = text;
    else if (k == lines.size())
        lines.push_back(text);
    else
        return;
    if (changed_) changed_(list);
}

void MediaLines::blankLinesAppended(MediaList list, int count) {
    if (downstream_) downstream_->blankLinesAppended(list, count);
    if (!kept(list) || count <= 0) return;
    std::vector<std::string>& lines = of(list);
    const auto room = static_cast<int>(kMostLines - lines.size());
    lines.insert(lines.end(), static_cast<std::size_t>(std::min(count, room)), " ");
    if (changed_) changed_(list);
}

void MediaLines::countsChanged() {
    if (downstream_) downstream_->countsChanged();
}

}  // namespace qz7
