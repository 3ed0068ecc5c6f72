// The lists on screen that show the media tables. The media model reports
// every changed line here and the lists redraw it; nothing else writes a
// media line.
#pragma once

#include <QObject>
#include <array>

#include "media/media_model.h"

class QListWidget;

namespace qz7 {

class MediaLists : public MediaObserver {
public:
    // The list widget that shows `list` (null: not shown).
    void show(MediaList list, QListWidget* widget);

    void lineChanged(MediaList list, int line, const std::string& text, LineWrite how) override;
    void blankLinesAppended(MediaList list, int count) override;

private:
    std::array<QListWidget*, 5> lists_{};
};


}  // namespace qz7
