#include "deck/origin.h"

namespace qz7 {

std::string Origin::text() const {
    const char* word = "panel";
    switch (kind) {
    case Kind::Panel: word = "panel"; break;
    case Kind::Key: word = "key"; break;
    case Kind::Osc: word = "osc"; break;
    case Kind::Web: word = "web"; break;
    case Kind::Rack: word = "rack"; break;
    case Kind::Start: word = "start"; break;
    case Kind::Recorder: word = "recorder"; break;
    }
    return detail.empty() ? std::string(word) : std::string(word) + " " + detail;
}

}  // namespace qz7
