// The File menu's list files against a simulated recorder: the save items
// wait for a Retrieve, cue marks loaded from a file reach the recorder only
// after OK and show in the list as it answers, and the web API hands out the
// same file the panel saves.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "live_panel.h"
#include "remote/web_options.h"
#include "remote/web_server.h"
#include "ui/confirmation_dialog.h"
#include "ui/error_box.h"
#include "ui/list_files_menu.h"

namespace qz7::test {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Answers "Confirmation" once it shows: OK or Cancel, and keeps what it asked.
void answerConfirmation(QObject* owner, bool ok, QString* asked) {
    auto* timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, [timer, ok, asked] {
        auto* dialog = qobject_cast<ConfirmationDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        timer->deleteLater();
        timer->stop();
        *asked = dialog->whatLabel->text();
        // The window may not be active yet on a loaded machine, so ask which
        // button will hold the focus and answer Return, not which has it now.
        EXPECT_TRUE(dialog->cancelButton->isDefault()) << "Cancel is the default";
        EXPECT_EQ(dialog->focusWidget(), dialog->cancelButton) << "Cancel takes the focus";
        QTest::mouseClick(ok ? dialog->okButton : dialog->cancelButton, Qt::LeftButton);
    });
    timer->start(5);
}

class ListFilesE2E : public LivePanelTest {
protected:
    ListFilesMenu& menu() { return *main().findChild<ListFilesMenu*>(QStringLiteral("ListFiles")); }
    // The file dialog answers with `path` and the filter given.
    void choose(const QString& path, const QString& filter = ListFilesMenu::kCsvFilter) {
        menu().setChooser([path, filter](const QString&, const QString&, QString* selected, bool) {
            if (selected) *selected = filter;
            return path;
        });
    }
    QTemporaryDir dir;
};

TEST_F(ListFilesE2E, SavedListsLoadedCueMarksAndTheWebDownloadsAgree) {
    qz7sim::Config content;
    content.files = 3;
    content.clips = 2;
    content.cues = 4;
    content.cueGaps = {1};  // cues 0, 2, 3: slot 1 is free, then 4 on
    qz7sim::SimServer& sim = startSim(QStringLiteral("127.0.0.61"), content);
    MainWindow& m = startPanel(DevicePair{QStringLiteral("127.0.0.61"), QStringLiteral("QA1"),
                                          QStringLiteral("127.0.0.61"), QStringLiteral("QA2"), true});
    const char* items[] = {"RecFile1", "SaveClipList1", "SaveS1", "SaveCueList1", "LoadCueMarks1"};
    const auto enabled = [&](bool want) {
        for (const char* name : items) {
            QAction* a = control<QAction>(m, name);
            if (a->isEnabled() != want) return false;
            if ((a->toolTip() == QStringLiteral("Retrieve the lists first")) == want) return false;
        }
        return true;
    };
    EXPECT_TRUE(enabled(false));
    apply(0);
    EXPECT_TRUE(enabled(false)) << "the link alone has not filled the lists";
    ASSERT_TRUE(retrieve());
    EXPECT_TRUE(enabled(false)) << "a Retrieve still going out";
    ASSERT_TRUE(waitFor([&] { return enabled(true); }, 20000));

    // Save Clip List as EDL by the filter chosen; the suffix follows it.
    choose(dir.filePath(QStringLiteral("clips")), ListFilesMenu::kEdlFilter);
    control<QAction>(m, "SaveClipList1")->trigger();
    const QByteArray edl = readAll(dir.filePath(QStringLiteral("clips.edl")));
    EXPECT_TRUE(edl.startsWith("TITLE: deck clips\r\nFCM: NON-DROP FRAME\r\n")) << edl.toStdString();
    EXPECT_TRUE(edl.contains("002  AX       V     C        ")) << edl.toStdString();
    EXPECT_TRUE(edl.contains("* FROM CLIP NAME: CLIP 001\r\n")) << edl.toStdString();

    // A file with one bad line: one box naming it, nothing asked, nothing sent.
    const QString cueFile = dir.filePath(QStringLiteral("marks.csv"));
    writeFile(cueFile, "timecode,name\n00:00:10:00,Kick off\n00:00:10:30,late\n");
    choose(cueFile);
    const int boxes = ErrorBox::shownCount();
    const int waitingBefore = deck().commandsWaiting();
    control<QAction>(m, "LoadCueMarks1")->trigger();
    EXPECT_EQ(ErrorBox::shownCount(), boxes + 1);
    EXPECT_EQ(ErrorBox::lastMessage(),
              QStringLiteral("Load Cue Marks: marks.csv, line 3: '00:00:10:30' is not a time at 30 frames a second"));
    ErrorBox::dismiss();
    EXPECT_EQ(deck().commandsWaiting(), waitingBefore);

    // A good file: Cancel writes nothing; OK writes into the free slots 1 and 4.
    writeFile(cueFile, "timecode,name\r\n00:00:10:00,Kick off\r\n00:01:00:00,\"Goal, left\"\r\n");
    std::vector<std::string> loads;
    QObject::connect(&deck(), &Deck::operated, &m, [&](const Origin& o, const QString& op, const Outcome& out) {
        if (op == QStringLiteral("cue/load") && out.queued()) loads.push_back(o.text());
    });
    QString asked;
    answerConfirmation(&m, false, &asked);
    control<QAction>(m, "LoadCueMarks1")->trigger();
    EXPECT_TRUE(asked.contains(QStringLiteral("cue 001: 00:00:10:00 Kick off"))) << asked.toStdString();
    EXPECT_TRUE(asked.contains(QStringLiteral("cue 004: 00:01:00:00 Goal, left"))) << asked.toStdString();
    EXPECT_TRUE(asked.endsWith(QStringLiteral("on 127.0.0.61"))) << asked.toStdString();
    EXPECT_TRUE(loads.empty());
    answerConfirmation(&m, true, &asked);
    control<QAction>(m, "LoadCueMarks1")->trigger();
    ASSERT_TRUE(waitDrained(5000));
    EXPECT_EQ(loads, (std::vector<std::string>{"panel", "panel"}));
    const qz7sim::State& st = sim.recorder().state();
    ASSERT_TRUE(st.cues[1].used && st.cues[4].used);
    EXPECT_EQ(Timecode::fromBytes(st.cues[1].position).text() + " " + st.cues[1].name, "00:00:10:00 Kick off");
    EXPECT_EQ(Timecode::fromBytes(st.cues[4].position).text() + " " + st.cues[4].name, "00:01:00:00 Goal, left");
    // The list shows them as the recorder answered the read that followed.
    const std::vector<std::string> cueLines = listLines(control<QListWidget>(m, "ListBox4"));
    EXPECT_EQ(cueLines.at(1), "00:00:10:00 Kick off");
    EXPECT_EQ(cueLines.at(4), "00:01:00:00 Goal, left");

    // The web API's cues.csv is the file "Save Cue List" writes.
    choose(dir.filePath(QStringLiteral("cues.csv")));
    control<QAction>(m, "SaveCueList1")->trigger();
    const QByteArray saved = readAll(dir.filePath(QStringLiteral("cues.csv")));
    EXPECT_TRUE(saved.contains("4,00:01:00:00,\"Goal, left\"\r\n")) << saved.toStdString();
    WebServer::Config config;
    config.served = WebOptions{}.servedNetworks();
    WebServer web(config);
    QString error;
    ASSERT_TRUE(web.start(&error)) << error.toStdString();
    web.setDecks({&deck()});
    QTcpSocket client;
    QByteArray reply;
    QObject::connect(&client, &QTcpSocket::readyRead, [&] { reply += client.readAll(); });
    client.connectToHost(QHostAddress::LocalHost, web.port());
    ASSERT_TRUE(waitFor([&] { return client.state() == QAbstractSocket::ConnectedState; }, 2000));
    client.write("GET /api/decks/deck/cues.csv HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(web.port()) +
                 "\r\n\r\n");
    ASSERT_TRUE(waitFor([&] { return client.state() == QAbstractSocket::UnconnectedState; }, 3000));
    const qsizetype end = reply.indexOf("\r\n\r\n");
    const QByteArray head = reply.left(end);
    EXPECT_TRUE(head.startsWith("HTTP/1.1 200")) << head.toStdString();
    EXPECT_TRUE(head.contains("Content-Type: text/csv; charset=utf-8\r\n")) << head.toStdString();
    EXPECT_TRUE(head.contains("Content-Disposition: attachment; filename=\"deck-cues.csv\"")) << head.toStdString();
    EXPECT_EQ(reply.mid(end + 4), saved);
}

}  // namespace
}  // namespace qz7::test
