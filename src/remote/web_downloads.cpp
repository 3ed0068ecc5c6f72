#include "remote/web_downloads.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string_view>

#include "deck/deck.h"
#include "media/list_export.h"

namespace qz7 {

std::optional<ListDownload> listDownload(const Deck& deck, const QByteArray& file) {
    // Most GETs under a deck ask for something else: the lists are read only for a list file.
    if (std::find(std::begin(kListFiles), std::end(kListFiles), std::string_view(file.constData(), file.size())) ==
        std::end(kListFiles))
        return std::nullopt;
    const QByteArray name = deck.name().toLatin1();
    const ListRows rows = listRows(deck.media(), deck.listLines(MediaList::Clips), deck.listLines(MediaList::Cues));
    const std::optional<std::string> body = listFile(rows, file.toStdString(), deck.status().frameBase, name.toStdString());
    if (!body) return std::nullopt;
    // Deck names are letters, digits, _ and -; anything else would not survive a quoted filename.
    QByteArray filename = name + '-' + file;
    for (char& c : filename)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.')) c = '_';
    return ListDownload{file.endsWith(".csv") ? QByteArray("text/csv; charset=utf-8") : QByteArray("text/plain; charset=utf-8"),
                        QByteArray::fromStdString(*body),
                        "Content-Disposition: attachment; filename=\"" + filename + "\"\r\n"};
}

}  // namespace qz7
