#include "deck/origin.h"

namespace qz7 {

const char* Origin::kindWord(Kind kind) {
    switch (kind) {
    case Kind::Panel: return "panel";
    case Kind::Key: return "key";
    case Kind::Osc: return "osc";
    case Kind::Web: return "web";
    case Kind::Rack: return "rack";
    case Kind::Start: return "start";
    case Kind::Recorder: return "recorder";
    }
    return "panel";
}

std::string Origin::text() const {
    const std::string word = kindWord(kind);
    return detail.empty() ? word : word + " " + detail;
}

}  // namespace qz7
