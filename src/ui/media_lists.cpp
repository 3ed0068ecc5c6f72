#include "ui/media_lists.h"

#include <QListWidget>
#include <QStringList>

#include "net/recorder_link.h"
#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

void MediaLists::show(MediaList list, QListWidget* widget) { lists_.at(static_cast<std::size_t>(list)) = widget; }

void MediaLists::lineChanged(MediaList list, int line, const std::string& text, LineWrite how) {
    QListWidget* widget = lists_.at(static_cast<std::size_t>(list));
    if (!widget) return;
    switch (how) {
    case LineWrite::Replace: replaceLine(widget, line, text); break;
    case LineWrite::Grow: replaceLineGrowing(widget, line, text); break;
    case LineWrite::IfReachable:
        if (line <= widget->count()) replaceLine(widget, line, text);
        break;
    }
}

void MediaLists::blankLinesAppended(MediaList list, int count) {
    QListWidget* widget = lists_.at(static_cast<std::size_t>(list));
    if (widget) widget->addItems(QStringList(count, QStringLiteral(" ")));
}

void connectMediaReplies(RecorderLink& link, MediaModel& media, QObject* context) {
    MediaModel* m = &media;
    onSignal(&link, &RecorderLink::systemReceived, context,
             [m](int, int recordedFileCount) { m->applySystem(recordedFileCount); });
    onSignal(&link, &RecorderLink::cueEntryReceived, context,
             [m](int k, bool present, const PositionBytes& position, const std::string& name) {
                 m->applyCueReply(k, present, position, name);
             });
    onSignal(&link, &RecorderLink::clipEntryReceived, context,
             [m](int k, bool present, const PositionBytes& in, const PositionBytes& out, const std::string& name) {
                 m->applyClipReply(k, present, in, out, name);
             });
    onSignal(&link, &RecorderLink::inhibitReceived, context,
             [m](int fileNumber, std::uint8_t flag) { m->applyInhibit(fileNumber, flag); });
    onSignal(&link, &RecorderLink::fileNameReceived, context,
             [m](int fileNumber, const std::string& name) { m->applyFileName(fileNumber, name); });
    onSignal(&link, &RecorderLink::sequenceHeaderReceived, context,
             [m](int s, std::uint8_t blocks, std::uint8_t entries) { m->applySequenceHeader(s, blocks, entries); });
    onSignal(&link, &RecorderLink::sequenceBlockReceived, context,
             [m](int s, int block, const std::array<std::int16_t, 5>& steps) { m->applySequenceBlock(s, block, steps); });
}

}  // namespace qz7
