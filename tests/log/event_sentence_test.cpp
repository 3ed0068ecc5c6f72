// The log's events as sentences: each kind the log writes, as the window and
// the web page show it, the time in UTC or in the local zone.
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

#include "log/event_sentence.h"

namespace qz7::test {
namespace {

QJsonObject event(const char* json) { return QJsonDocument::fromJson(QByteArray(json)).object(); }

TEST(EventSentence, EachKindTheLogWritesReadsAsOneLine) {
    const std::pair<const char*, const char*> cases[] = {
        {R"j({"ts":"2026-12-08T14:02:11.989Z","deck":"studio-a","kind":"recorder","op":"rec/start","origin":"recorder","transport":"REC","file":"REC FILE : 013"})j",
         "14:02:11 studio-a REC started, REC FILE : 013"},
        {R"j({"ts":"2026-12-08T14:02:12.000Z","deck":"studio-a","kind":"recorder","op":"rec/stop","origin":"recorder","transport":"STOP","file":"REC FILE : 013"})j",
         "14:02:12 studio-a REC stopped, REC FILE : 013, recorder shows STOP"},
        {R"j({"ts":"2026-12-08T14:03:05.989Z","deck":"deck","kind":"command","op":"play","origin":"osc 127.0.0.1:51000","outcome":"queued","args":{}})j",
         "14:03:05 deck PLAY queued (osc 127.0.0.1:51000)"},
        {R"j({"deck":"a","kind":"command","op":"stop","origin":"key F6","outcome":"queued","args":{"lock":0}})j",
         "a STOP queued (key F6)"},
        {R"j({"deck":"a","kind":"command","op":"slow","origin":"panel","outcome":"queued","args":{"direction":-1,"item":3}})j",
         "a SLOW reverse item 3 queued (panel)"},
        {R"j({"deck":"a","kind":"refused","op":"file/open","origin":"web 10.0.5.20","outcome":"no file 9 (recorded files: 4)","args":{"number":9},"repeated":12})j",
         "a open file 9 refused: no file 9 (recorded files: 4), 12 more like it (web 10.0.5.20)"},
        {R"j({"deck":"a","kind":"refused","op":"rec","origin":"panel","outcome":"no reply from 10.0.5.31 for 3 s","args":{}})j",
         "a REC refused: no reply from 10.0.5.31 for 3 s (panel)"},
        {R"j({"deck":"a","kind":"command","op":"apply","origin":"start","outcome":"queued","args":{"line":1}})j",
         "a Apply line 1 (start)"},
        {R"j({"deck":"a","kind":"outcome","op":"rec","outcome":"not confirmed","transport":"STOP","command":7,"origin":"panel"})j",
         "a REC not confirmed: recorder shows STOP (panel)"},
        {R"j({"deck":"a","kind":"outcome","op":"play","outcome":"confirmed","transport":"PLAY","ms":120,"origin":"web 10.0.5.20"})j",
         "a PLAY confirmed in 120 ms (web 10.0.5.20)"},
        {R"j({"deck":"a","kind":"outcome","op":"ff","outcome":"superseded","note":"superseded by stop from panel","origin":"osc 127.0.0.1:9"})j",
         "a FF superseded by stop from panel (osc 127.0.0.1:9)"},
        {R"j({"deck":"a","kind":"outcome","op":"play","outcome":"superseded","note":"overtaken by stop","ms":3,"origin":"panel"})j",
         "a PLAY superseded: overtaken by stop (panel)"},
        {R"j({"deck":"a","kind":"outcome","op":"stop","outcome":"confirmed","note":"no reply from 10.0.5.31 for 3 s","origin":"panel"})j",
         "a STOP confirmed: no reply from 10.0.5.31 for 3 s (panel)"},
        {R"j({"deck":"a","kind":"alarm","op":"alarm","alarm":"REC stopped without a stop command: recorder shows STOP","origin":"recorder"})j",
         "a ALARM REC stopped without a stop command: recorder shows STOP"},
        {R"j({"deck":"a","kind":"command","op":"alarm/ack","origin":"panel","outcome":"queued","args":{"alarm":"recorder error: FAN STOP"}})j",
         "a alarm acknowledged: recorder error: FAN STOP (panel)"},
        {R"j({"deck":"a","kind":"link","op":"link","origin":"recorder","link":"NO REPLY","address":"10.0.5.31"})j",
         "a NO REPLY from 10.0.5.31"},
        {R"j({"deck":"a","kind":"link","op":"link","origin":"recorder","link":"OK","address":"10.0.5.31"})j",
         "a link OK 10.0.5.31"},
        {R"j({"deck":"a","kind":"recorder","op":"error/on","origin":"recorder","error":"FAN STOP"})j",
         "a recorder error: FAN STOP"},
        {R"j({"deck":"a","kind":"error","op":"deck/error","origin":"recorder","error":"Host not found: x.invalid"})j",
         "a error: Host not found: x.invalid"},
        {R"j({"deck":"a","kind":"superseded","op":"stop","origin":"panel","count":2003,"removed":{"ff":2000,"play":3}})j",
         "a STOP took 2003 waiting commands off the stack (FF 2000, PLAY 3) (panel)"},
        {R"j({"deck":"a","kind":"recorder","op":"retrieve/done","origin":"recorder","outcome":"incomplete","args":{"requests":222,"missing":2,"unanswered":"files 3, 7"}})j",
         "a Retrieve incomplete: 2 entries unanswered (files 3, 7)"},
        {R"j({"deck":"","kind":"system","op":"reload","origin":"rack","outcome":"reload: 3 deck(s); started studio-c"})j",
         "reload: 3 deck(s); started studio-c (rack)"},
        {R"j({"deck":"","kind":"system","op":"log/on","origin":"log","args":{"lost":4,"since":"2026-12-08T10:00:00.000Z","reason":"disk full"}})j",
         "log writing again: 4 events lost since 2026-12-08T10:00:00.000Z (disk full)"},
    };
    for (const auto& [json, sentence] : cases) EXPECT_EQ(eventSentence(event(json), false).toStdString(), sentence) << json;
}

TEST(EventSentence, LocalTimeFollowsTheZoneAndUtcStaysUtc) {
    const char* before = std::getenv("TZ");
    const std::string saved = before ? before : "";
    setenv("TZ", "JST-9", 1);
    tzset();
    const QJsonObject e = event(R"j({"ts":"2026-12-08T20:02:11.500Z","deck":"a","kind":"link","op":"link","link":"OFF"})j");
    EXPECT_EQ(eventSentence(e, true).toStdString(), "05:02:11 a link OFF");
    EXPECT_EQ(eventSentence(e, false).toStdString(), "20:02:11 a link OFF");
    if (before)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

}  // namespace
}  // namespace qz7::test
