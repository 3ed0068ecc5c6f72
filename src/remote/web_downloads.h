// The lists as files from the web API: GET /api/decks/NAME/files.csv,
// clips.csv, clips.edl, cues.csv, cues.edl and sequences.csv, the same files
// the panel's "Save ... List" items write.
#pragma once

#include <QByteArray>
#include <optional>

namespace qz7 {

class Deck;

struct ListDownload {
    QByteArray contentType;
    QByteArray body;
    QByteArray headers;  // Content-Disposition, one line with its CRLF
};

// The download `file` names, or nothing when it names none.
std::optional<ListDownload> listDownload(const Deck& deck, const QByteArray& file);

}  // namespace qz7
