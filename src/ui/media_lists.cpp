#include "ui/media_lists.h"

#include <QListWidget>
#include <QStringList>

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

}  // namespace qz7
