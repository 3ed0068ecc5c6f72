// A deck's name: how the rack's OSC addresses, the web page and the event log
// tell decks apart.
#pragma once

#include <QString>

namespace qz7 {

// 1..32 of A-Z a-z 0-9 _ -: a name is an OSC address segment and a URL part.
bool validDeckName(const QString& name);

inline constexpr const char* kDeckNameRule = "1..32 of A-Z a-z 0-9 _ -";

}  // namespace qz7
