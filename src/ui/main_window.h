// "QZ7pro-Controller": the main window, a view of one deck. It builds
// its areas (each its own class in its own file, named after what the operator
// sees) and hands each the deck and the few widgets it drives; the areas call
// the deck's operations and redraw from its signals.
#pragma once

#include <QMainWindow>
#include <QStringList>

class QProgressBar;
class QTabWidget;

namespace qz7 {

class Deck;
class Forms;
class MediaLists;
class StatusPanel;
class TransportPanel;
class FileListPanel;
class ClipListPanel;
class CueGroup;
class TimecodePage;
class GenlockPage;
class TestSignalPage;
class AudioPage;
class VideoPage;
class CharacterPage;
class ControlPage;
class ClipPage;
class SequencePage;
class ConfigPage;
class DevicePage;
class ClearMenu;
class LinkStateLamp;
class RecTally;
class RetrieveProgress;
class EventLog;
class EventLogWindow;
class LogStateLamp;
class StatusNotices;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Page indexes of the tabbed pages, in tab order.
    enum Page {
        TimecodeTab = 0, GenlockTab, TestSignalTab, AudioTab, VideoTab, CharacterTab,
        ControlTab, ClipTab, SequenceTab, ConfigTab, DeviceTab
    };

    explicit MainWindow(Forms& forms, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Tells the media lists which widgets show them.
    void showMediaLists(MediaLists& lists);
    // The event log: the "Event Log" window (Ctrl+L) and LOG OFF in the status bar.
    void setEventLog(EventLog* log);

private slots:
    void quitProgram();
    void showEventLog();
    void readBackPage(int index);  // settings_readback.cpp

private:
    // Start-up state: link off, empty tables, nothing queued.
    void resetToStartState();
    void buildAreas();
    void buildLayout();
    void buildMenu();
    void buildStatusBar();
    void wireDeck();

    Forms& forms_;
    Deck& deck_;

    QTabWidget* pages_ = nullptr;
    QProgressBar* remainingTimeBar_ = nullptr;  // "REMAINING TIME"
    StatusPanel* status_ = nullptr;
    TransportPanel* transportPanel_ = nullptr;
    FileListPanel* fileList_ = nullptr;
    ClipListPanel* clipList_ = nullptr;
    CueGroup* cueGroup_ = nullptr;
    TimecodePage* timecodePage_ = nullptr;
    GenlockPage* genlockPage_ = nullptr;
    TestSignalPage* testSignalPage_ = nullptr;
    AudioPage* audioPage_ = nullptr;
    VideoPage* videoPage_ = nullptr;
    CharacterPage* characterPage_ = nullptr;
    ControlPage* controlPage_ = nullptr;
    ClipPage* clipPage_ = nullptr;
    SequencePage* sequencePage_ = nullptr;
    ConfigPage* configPage_ = nullptr;
    DevicePage* devicePage_ = nullptr;
    ClearMenu* clearMenu_ = nullptr;
    LinkStateLamp* linkState_ = nullptr;  // LinkState
    RecTally* recTally_ = nullptr;  // RecTally "REC"
    RetrieveProgress* retrieveProgress_ = nullptr;  // RetrieveProgress
    EventLog* eventLog_ = nullptr;
    EventLogWindow* eventLogWindow_ = nullptr;  // "Event Log", made when first opened
    LogStateLamp* logState_ = nullptr;  // LogState "LOG OFF"
    StatusNotices* notices_ = nullptr;
    QStringList boxedSendErrors_;  // since the last Apply  // StatusMessage, AlarmField, ListsStaleHint
};

}  // namespace qz7
