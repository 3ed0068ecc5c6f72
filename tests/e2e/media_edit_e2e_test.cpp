// The media lists end to end: an operator edits cues, clips, file names and a
// sequence on the panel, the simulated recorder stores them over UDP, and a
// later "Retrieve" (or a panel started afresh) shows the recorder's content.
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>

#include "ui/error_box.h"
#include "live_panel.h"
#include "ui/cue_edit_dialog.h"
#include "ui/file_name_dialog.h"
#include "ui/schedule_window.h"
#include "ui/widgets.h"

namespace qz7::test {
namespace {

DevicePair singleRecorder(const QString& address) {
    return DevicePair{address, QStringLiteral("QA51200040"), address, QStringLiteral("QA51200041"), true};
}

void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

QPoint lineCentre(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    return list->visualItemRect(item).center();
}

void clickLine(QListWidget* list, int row) { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, lineCentre(list, row)); }

// As the window system delivers a double-click: press, release, double-click, release.
void doubleClickLine(QListWidget* list, int row) {
    const QPoint at = lineCentre(list, row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

void typeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
}

// The action that shows a modal dialog blocks in the dialog's own loop, so
// the answer is given from a timer once the dialog is up. A dialog the
// answer leaves open is cancelled, so a failing test cannot hang.
void whenDialogShows(QObject* owner, std::function<void(QDialog*)> answer) {
    auto* timer = new QTimer(owner);
    timer->setInterval(5);
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(timer, &QTimer::timeout, [timer, answer, started] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (started->elapsed() > 5000) {
                ADD_FAILURE() << "no dialog showed";
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
        answer(dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << dialog->objectName().toStdString() << " was left open";
            dialog->reject();
        }
    });
    timer->start();
}

// The timecode as the status panel shows it.
Timecode displayed(QWidget& window) {
    const auto digits = [&](const char* name) { return toBytes(control<QLabel>(window, name)->text()); };
    return Timecode{digits("Label3"), digits("Label30"), digits("Label31"), digits("Label32")};
}

Timecode fieldsOf(QLineEdit* h, QLineEdit* m, QLineEdit* s, QLineEdit* f) {
    return Timecode{toBytes(maskedText(h)), toBytes(maskedText(m)), toBytes(maskedText(s)), toBytes(maskedText(f))};
}

int toFrames(const Timecode& t) {
    return ((std::stoi(t.hours) * 60 + std::stoi(t.minutes)) * 60 + std::stoi(t.seconds)) * 30 + std::stoi(t.frames);
}

std::string text(const qz7sim::Position& p) { return Timecode::fromBytes(p).text(); }

// Readable forms of the recorder's entries, so a mismatch says what differs.
std::string describe(const qz7sim::Cue& c) {
    return c.used ? text(c.position) + " [" + c.name + "]" : "(free)";
}
std::string describe(const qz7sim::Clip& c) {
    return c.used ? text(c.in) + " - " + text(c.out) + " [" + c.name + "]" : "(free)";
}
std::string describe(const qz7sim::File& f) { return "[" + f.name + "]" + (f.inhibited ? " inhibited" : ""); }
std::string describe(const qz7sim::Sequence& s) {
    std::ostringstream out;
    out << s.entries << " steps, " << s.blocks << " blocks:";
    for (std::int16_t step : s.steps) out << ' ' << step;
    return out.str();
}

class MediaEditE2E : public LivePanelTest {
protected:
    MainWindow& showPanel(const QString& address) {
        MainWindow& m = startPanel(singleRecorder(address));
        m.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m));
        return m;
    }
    // "Apply", then "Retrieve" once the recorder answered, and the whole refresh received.
    void connectAndRetrieve() {
        apply(0);
        ASSERT_TRUE(retrieve());
        ASSERT_TRUE(waitDrained(30000)) << "the list refresh did not drain";
    }
};

TEST_F(MediaEditE2E, CueClipAndFileEditsAreStoredByTheRecorderAndShownByTheNextRetrieve) {
    qz7sim::Config content;
    content.files = 6;
    content.clips = 4;
    content.cues = 3;
    qz7sim::SimServer& sim = startSim(QStringLiteral("127.0.0.41"), content);
    const qz7sim::State before = sim.recorder().state();
    MainWindow& m = showPanel(QStringLiteral("127.0.0.41"));
    connectAndRetrieve();
    ASSERT_EQ(tables().recordedFileCount, 6);
    ASSERT_EQ(tables().clipCount, 4);
    ASSERT_EQ(tables().cueCount, 3);

    // PLAY, then IN and OUT from the running timecode at least a second apart.
    EXPECT_EQ(control<QLabel>(m, "Label4")->text(), QStringLiteral("STOP"));
    click(control<QPushButton>(m, "BitBtn1"));
    ASSERT_TRUE(waitFor([&] { return control<QLabel>(m, "Label4")->text() == QStringLiteral("PLAY"); }, 3000));
    EXPECT_EQ(sim.recorder().state().transport, qz7sim::Transport::Play);
    control<QTabWidget>(m, "PageControl1")->setCurrentIndex(MainWindow::ClipTab);
    ASSERT_TRUE(waitFor([&] { return toFrames(displayed(m)) > 0; }, 3000)) << "the timecode does not run";
    click(control<QPushButton>(m, "BitBtn13"));
    const Timecode in = fieldsOf(control<QLineEdit>(m, "MaskEdit2"), control<QLineEdit>(m, "MaskEdit3"), control<QLineEdit>(m, "MaskEdit4"), control<QLineEdit>(m, "MaskEdit5"));
    EXPECT_EQ(in.text(), displayed(m).text());
    ASSERT_TRUE(waitFor([&] { return toFrames(displayed(m)) >= toFrames(in) + 30; }, 3000));
    click(control<QPushButton>(m, "BitBtn16"));
    const Timecode out = fieldsOf(control<QLineEdit>(m, "MaskEdit6"), control<QLineEdit>(m, "MaskEdit7"), control<QLineEdit>(m, "MaskEdit8"), control<QLineEdit>(m, "MaskEdit9"));
    EXPECT_EQ(out.text(), displayed(m).text());
    EXPECT_GE(toFrames(out), toFrames(in) + 30) << in.text() << " to " << out.text();

    click(control<QPushButton>(m, "BitBtn2"));
    ASSERT_TRUE(waitFor([&] { return control<QLabel>(m, "Label4")->text() == QStringLiteral("STOP"); }, 3000));
    EXPECT_EQ(sim.recorder().state().transport, qz7sim::Transport::Stop);
    // Stopped, the display settles on the recorder's own position.
    const auto recorderTime = [&] { return Timecode::fromBytes(sim.recorder().timecode()); };
    ASSERT_TRUE(waitFor([&] { return displayed(m) == recorderTime(); }, 3000))
        << displayed(m).text() << " vs " << recorderTime().text();
    const Timecode stoppedAt = recorderTime();
    EXPECT_GE(toFrames(stoppedAt), toFrames(out));

    // Mrk takes the first free slot (3) at the displayed position; CUE Edit
    // names it once the mark has gone out, as it has long before an operator
    // gets the dialog open.
    click(control<QPushButton>(m, "BitBtn20"));
    ASSERT_EQ(tables().cueCount, 4);
    EXPECT_EQ(tables().cues[3].position, stoppedAt);
    ASSERT_TRUE(waitDrained(3000));
    whenDialogShows(&m, [&](QDialog* dialog) {
        auto* edit = qobject_cast<CueEditDialog*>(dialog);
        ASSERT_NE(edit, nullptr) << dialog->objectName().toStdString();
        EXPECT_EQ(maskedText(edit->positionEdit).toStdString(), stoppedAt.text());
        typeInto(edit->nameEdit, QStringLiteral("Goal"));
        click(edit->okButton);
    });
    doubleClickLine(control<QListWidget>(m, "ListBox4"), 3);

    // SAVE clip 9 with its name; IN and OUT are already in the fields.
    control<QLineEdit>(m, "MaskEdit16")->setText(QStringLiteral("009"));
    typeInto(control<QLineEdit>(m, "LabeledEdit2"), QStringLiteral("Sunset take 2"));
    click(control<QPushButton>(m, "BitBtn27"));

    // File 002: new name and inhibited. File 003 (inhibited): inhibit lifted, name kept.
    whenDialogShows(&m, [&](QDialog* dialog) {
        auto* edit = qobject_cast<FileNameDialog*>(dialog);
        ASSERT_NE(edit, nullptr) << dialog->objectName().toStdString();
        EXPECT_EQ(edit->fileNumberLabel->text(), QStringLiteral("002  "));
        EXPECT_EQ(edit->nameEdit->text(), QStringLiteral("FILE 002"));
        EXPECT_FALSE(edit->inhibitBox->isChecked());
        typeInto(edit->nameEdit, QStringLiteral("Harbour dawn"));
        edit->inhibitBox->click();
        click(edit->okButton);
    });
    doubleClickLine(control<QListWidget>(m, "ListBox2"), 1);
    whenDialogShows(&m, [&](QDialog* dialog) {
        auto* edit = qobject_cast<FileNameDialog*>(dialog);
        ASSERT_NE(edit, nullptr) << dialog->objectName().toStdString();
        EXPECT_TRUE(edit->inhibitBox->isChecked());
        edit->inhibitBox->click();
        click(edit->okButton);
    });
    doubleClickLine(control<QListWidget>(m, "ListBox2"), 2);
    ASSERT_TRUE(waitDrained(10000));

    // The recorder holds exactly the edits; everything else is as it was.
    const qz7sim::State& st = sim.recorder().state();
    EXPECT_EQ(describe(st.cues[3]), stoppedAt.text() + " [Goal]");
    EXPECT_EQ(describe(st.clips[9]), in.text() + " - " + out.text() + " [Sunset take 2]");
    EXPECT_EQ(describe(st.files[1]), "[Harbour dawn] inhibited");
    EXPECT_EQ(describe(st.files[2]), "[FILE 003]");
    for (std::size_t k = 0; k < 512; ++k) {
        if (k != 3) {
            EXPECT_EQ(describe(st.cues[k]), describe(before.cues[k])) << "cue " << k;
        }
        if (k != 9) {
            EXPECT_EQ(describe(st.clips[k]), describe(before.clips[k])) << "clip " << k;
        }
    }
    ASSERT_EQ(st.files.size(), 6u);
    for (std::size_t n : {0u, 3u, 4u, 5u}) EXPECT_EQ(describe(st.files[n]), describe(before.files[n])) << "file " << n + 1;

    // "Retrieve" again: 512 more blank lines, and the first 512 show the recorder.
    ASSERT_TRUE(retrieve());
    ASSERT_TRUE(waitDrained(30000));
    const auto fileLines = listLines(control<QListWidget>(m, "ListBox2"));
    const auto clipLines = listLines(control<QListWidget>(m, "ListBox1"));
    const auto cueLines = listLines(control<QListWidget>(m, "ListBox4"));
    ASSERT_EQ(fileLines.size(), 1024u);
    ASSERT_EQ(clipLines.size(), 1024u);
    ASSERT_EQ(cueLines.size(), 1024u);
    EXPECT_EQ(fileLines[0], "001   FILE 001");
    EXPECT_EQ(fileLines[1], "002 * Harbour dawn");
    EXPECT_EQ(fileLines[2], "003   FILE 003");
    EXPECT_EQ(fileLines[5], "006 * FILE 006");
    EXPECT_EQ(clipLines[3], " 003  CLIP 003");
    EXPECT_EQ(clipLines[9], " 009  Sunset take 2");
    EXPECT_EQ(cueLines[2], "00:00:25:00 CUE 002");
    EXPECT_EQ(cueLines[3], stoppedAt.text() + " Goal");
    for (std::size_t i = 0; i < 1024; ++i) {
        if (i >= 6) {
            EXPECT_EQ(fileLines[i], " ") << "file line " << i;
        }
        if (i >= 4 && i != 9) {
            EXPECT_EQ(clipLines[i], " ") << "clip line " << i;
        }
        if (i >= 4) {
            EXPECT_EQ(cueLines[i], " ") << "cue line " << i;
        }
    }
    EXPECT_EQ(toBytes(forms_->scheduleWindow()->clipList->item(9)->text()), " 009  Sunset take 2");
    EXPECT_EQ(tables().cueCount, 4);
    EXPECT_EQ(tables().clipCount, 5) << "clips 0 to 3 and 9 answered";
    EXPECT_EQ(tables().clips[9].in, in);
    EXPECT_EQ(tables().clips[9].out, out);
    EXPECT_EQ(tables().files[1].inhibit, 1);
    EXPECT_EQ(tables().files[2].inhibit, 0);
    EXPECT_EQ(ErrorBox::shownCount(), 0) << ErrorBox::lastMessage().toStdString();
}

TEST_F(MediaEditE2E, ASequenceEditedInSequencePlayIsStoredAndReadBackBlockByBlock) {
    qz7sim::Config content;
    content.clips = 6;
    qz7sim::SimServer& sim = startSim(QStringLiteral("127.0.0.42"), content);
    MainWindow& m = showPanel(QStringLiteral("127.0.0.42"));
    connectAndRetrieve();
    ASSERT_EQ(tables().clipCount, 6);

    control<QTabWidget>(m, "PageControl1")->setCurrentIndex(MainWindow::SequenceTab);
    clickLine(control<QListWidget>(m, "ListBox3"), 2);
    ScheduleWindow* editor = forms_->scheduleWindow();
    EXPECT_EQ(editor->sequenceNumberLabel->text(), QStringLiteral("002"));

    // ADD: a CLIPS line, then a step line. Inserting at step 1 moves the later steps down.
    const auto add = [editor](int clip, int step) {
        clickLine(editor->clipList, clip);
        clickLine(editor->stepList, step);
        click(editor->addStepButton);
    };
    bool edited = false;
    whenDialogShows(&m, [&](QDialog* dialog) {
        ASSERT_EQ(dialog, editor);
        add(4, 0);
        add(1, 1);
        add(5, 2);
        add(0, 1);
        add(2, 4);
        add(3, 5);
        add(2, 6);
        EXPECT_EQ(editor->workingCopy.entryCount, 7);
        EXPECT_EQ(toBytes(editor->stepList->item(1)->text()), "  2  000  CLIP 000");
        EXPECT_EQ(toBytes(editor->stepList->item(2)->text()), "  3  001  CLIP 001");
        EXPECT_EQ(toBytes(editor->stepList->item(7)->text()), "  8  ");
        click(editor->saveButton);
        edited = true;
    });
    click(control<QPushButton>(m, "BitBtn18"));
    ASSERT_TRUE(edited);
    EXPECT_EQ(toBytes(control<QListWidget>(m, "ListBox3")->item(2)->text()), "002");
    ASSERT_TRUE(waitDrained(10000));

    // Seven steps travel in two blocks; the recorder keeps exactly them.
    qz7sim::Sequence expected;
    expected.entries = 7;
    expected.blocks = 2;
    const std::vector<std::int16_t> steps{4, 0, 1, 5, 2, 3, 2};
    std::copy(steps.begin(), steps.end(), expected.steps.begin());
    EXPECT_EQ(describe(sim.recorder().state().sequences[2]), describe(expected));
    for (std::size_t s = 0; s < 16; ++s)
        if (s != 2) {
            EXPECT_EQ(sim.recorder().state().sequences[s].entries, 0) << "sequence " << s;
        }

    // A panel started afresh learns the sequence from the recorder: the
    // header with "Retrieve", the steps on entering the Sequence page.
    forms_.reset();
    MainWindow& fresh = showPanel(QStringLiteral("127.0.0.42"));
    connectAndRetrieve();
    const SequenceRecord& record = tables().sequences[2];
    EXPECT_EQ(record.entryCount, 7);
    EXPECT_EQ(record.blockCount, 2);
    EXPECT_EQ(record.steps[0], -1) << "steps come only with the Sequence page";
    control<QTabWidget>(fresh, "PageControl1")->setCurrentIndex(MainWindow::SequenceTab);
    ASSERT_TRUE(waitDrained(5000));
    const std::vector<std::int16_t> panelSteps(record.steps.begin(), record.steps.begin() + 10);
    EXPECT_EQ(panelSteps, (std::vector<std::int16_t>{4, 0, 1, 5, 2, 3, 2, -1, -1, -1}));
    EXPECT_TRUE(std::all_of(record.steps.begin() + 7, record.steps.end(), [](std::int16_t v) { return v == -1; }));
    const auto sequenceLines = listLines(control<QListWidget>(fresh, "ListBox3"));
    ASSERT_EQ(sequenceLines.size(), 16u);
    for (std::size_t s = 0; s < 16; ++s) EXPECT_EQ(sequenceLines[s], s == 2 ? "002" : "") << "sequence line " << s;

    // Clicking the line shows the steps with the clip names in Sequence Play.
    clickLine(control<QListWidget>(fresh, "ListBox3"), 2);
    ScheduleWindow* shown = forms_->scheduleWindow();
    EXPECT_EQ(toBytes(shown->stepList->item(0)->text()), "  1  004  CLIP 004");
    EXPECT_EQ(toBytes(shown->stepList->item(6)->text()), "  7  002  CLIP 002");
    EXPECT_EQ(toBytes(shown->stepList->item(7)->text()), "  8  ");
    EXPECT_EQ(ErrorBox::shownCount(), 0) << ErrorBox::lastMessage().toStdString();
}

}  // namespace
}  // namespace qz7::test
