// What every front end shows of a deck, as one plain value: the OSC status
// messages, the web page's state and the panel's lamp read the same fields,
// each by its name on the wire. Texts are the bytes as shown (Latin-1).
// Plain C++, so the OSC dispatcher and its fuzzer use it without Qt.
#pragma once

#include <string>
#include <variant>
#include <vector>

namespace qz7 {

struct ViewState {
    std::vector<std::string> hosts;   // where commands go: the selected recorder, then its partner
    std::string link = "OFF";         // "OFF", "OK", "NO REPLY"
    std::string lamp = "LINK OFF";    // the status bar's lamp: "LINK OK 10.0.5.31", "NO REPLY 3 s", ...
    std::string lampState = "off";    // its colour: "off", "waiting", "ok", "noreply"
    std::string timecode;             // "hh:mm:ss:ff"
    std::string transport;            // the transport word, once the recorder reported one
    int rec = 0;                      // 1 while recording
    std::string number;               // the REC FILE / CLIP / SEQ line
    std::string error;                // the recorder's error text, "" while none
    std::string alarm;                // an alarm not yet acknowledged, "" while none

    enum Field : unsigned {
        Hosts = 1u << 0, Link = 1u << 1, Lamp = 1u << 2, LampState = 1u << 3, Timecode = 1u << 4,
        Transport = 1u << 5, Rec = 1u << 6, Number = 1u << 7, Error = 1u << 8, Alarm = 1u << 9,
    };
    using Fields = unsigned;
    // What OSC publishes (/qz7/link ... /qz7/error); the web shows every field.
    static constexpr Fields kPublished = Link | Timecode | Transport | Rec | Number | Error | Alarm;

    using Value = std::variant<std::string, int, std::vector<std::string>>;
    struct FieldValue {
        Field field;
        const char* name;
        Value value;
    };
    // Every field with its name and value, in the order OSC sends them.
    std::vector<FieldValue> fields() const {
        return {{Hosts, "hosts", hosts},     {Link, "link", link},
                {Lamp, "lamp", lamp},        {LampState, "lampState", lampState},
                {Timecode, "timecode", timecode}, {Transport, "transport", transport},
                {Rec, "rec", rec},           {Number, "number", number},
                {Error, "error", error},     {Alarm, "alarm", alarm}};
    }
    // The fields whose values differ from other's.
    Fields differences(const ViewState& other) const {
        const auto mine = fields();
        const auto theirs = other.fields();
        Fields changed = 0;
        for (std::size_t k = 0; k < mine.size(); ++k)
            if (mine[k].value != theirs[k].value) changed |= mine[k].field;
        return changed;
    }
    bool operator==(const ViewState&) const = default;
};

}  // namespace qz7
