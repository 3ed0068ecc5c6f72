#include "ui/main_window.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QCoreApplication>
#include <QVBoxLayout>

#include "deck/deck.h"
#include "net/link_monitor.h"
#include "ui/audio_page.h"
#include "ui/character_page.h"
#include "ui/clear_menu.h"
#include "ui/clip_list_panel.h"
#include "ui/clip_page.h"
#include "ui/config_page.h"
#include "ui/control_page.h"
#include "ui/cue_group.h"
#include "ui/device_page.h"
#include "ui/error_box.h"
#include "ui/event_log_window.h"
#include "ui/file_list_panel.h"
#include "ui/forms.h"
#include "ui/genlock_page.h"
#include "ui/handler.h"
#include "ui/list_files_menu.h"
#include "ui/media_lists.h"
#include "ui/radio_group.h"
#include "ui/retrieve_progress.h"
#include "ui/sequence_page.h"
#include "ui/status_lamps.h"
#include "ui/status_notices.h"
#include "ui/status_panel.h"
#include "ui/test_signal_page.h"
#include "ui/timecode_page.h"
#include "ui/transport_panel.h"
#include "ui/video_page.h"

namespace qz7 {

MainWindow::MainWindow(Forms& forms, QWidget* parent)
    : QMainWindow(parent), forms_(forms), deck_(forms.deck()) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("QZ7pro-Controller"));
    buildAreas();
    buildLayout();
    buildMenu();
    buildStatusBar();
    wireDeck();
    resetToStartState();
}

MainWindow::~MainWindow() = default;

void MainWindow::resetToStartState() {
    deck_.reset();
}

void MainWindow::showMediaLists(MediaLists& lists) {
    lists.show(MediaList::Files, fileList_->fileList);
    lists.show(MediaList::Clips, clipList_->clipList);
    lists.show(MediaList::Cues, cueGroup_->cueList);
    lists.show(MediaList::Sequences, sequencePage_->sequenceList);
}

void MainWindow::buildAreas() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralArea"));
    setCentralWidget(central);

    status_ = new StatusPanel(deck_, central);
    remainingTimeBar_ = new QProgressBar(central);
    remainingTimeBar_->setObjectName(QStringLiteral("ProgressBar1"));
    // The recorder does not report its remaining time: the bar claims none.
    remainingTimeBar_->setRange(0, 100);
    remainingTimeBar_->reset();
    remainingTimeBar_->setFormat(QString());
    remainingTimeBar_->setToolTip(QStringLiteral("REMAINING TIME: the recorder does not report it, so none is shown"));
    remainingTimeBar_->setEnabled(false);

    transportPanel_ = new TransportPanel(deck_, central);
    transportPanel_->setEnabled(false);

    pages_ = new QTabWidget(central);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    timecodePage_ = new TimecodePage(deck_, pages_);
    genlockPage_ = new GenlockPage(deck_, pages_);
    testSignalPage_ = new TestSignalPage(deck_, pages_);
    audioPage_ = new AudioPage(deck_, pages_);
    videoPage_ = new VideoPage(deck_, pages_);
    characterPage_ = new CharacterPage(deck_, pages_);
    controlPage_ = new ControlPage(deck_, pages_);
    clipPage_ = new ClipPage(deck_, pages_);
    sequencePage_ = new SequencePage(deck_, forms_, pages_);
    configPage_ = new ConfigPage(deck_, forms_, pages_);
    devicePage_ = new DevicePage(deck_, pages_);
    pages_->addTab(timecodePage_, QStringLiteral("Timecode"));
    pages_->addTab(genlockPage_, QStringLiteral("Gen-lock"));
    pages_->addTab(testSignalPage_, QStringLiteral("Test signal"));
    pages_->addTab(audioPage_, QStringLiteral("  Audio  "));
    pages_->addTab(videoPage_, QStringLiteral("  Video  "));
    pages_->addTab(characterPage_, QStringLiteral("Character"));
    pages_->addTab(controlPage_, QStringLiteral("Control"));
    pages_->addTab(clipPage_, QStringLiteral(" Clip"));
    pages_->addTab(sequencePage_, QStringLiteral("Sequence"));
    pages_->addTab(configPage_, QStringLiteral("Config"));
    pages_->addTab(devicePage_, QStringLiteral("Device"));
    pages_->setCurrentIndex(DeviceTab);
    // Connected after the opening page is set: start-up reads nothing back.
    onSignal(pages_, &QTabWidget::currentChanged, this, [this](int index) { readBackPage(index); });

    clipList_ = new ClipListPanel(deck_, *clipPage_, central);
    clipList_->setEnabled(false);
    fileList_ = new FileListPanel(deck_, forms_, central);
    fileList_->setEnabled(false);
    cueGroup_ = new CueGroup(deck_, *controlPage_, forms_, central);
    cueGroup_->setEnabled(false);

    connect(clipList_, &ClipListPanel::clipPageWanted, pages_, [this] { pages_->setCurrentIndex(ClipTab); });
    connect(&deck_, &Deck::applied, this, [this] {
        transportPanel_->setEnabled(true);
        remainingTimeBar_->setEnabled(true);
    });
    connect(devicePage_, &DevicePage::retrieveQueued, this, [this] {
        clipList_->setEnabled(true);
        fileList_->setEnabled(true);
        cueGroup_->setEnabled(true);
    });
}

void MainWindow::buildLayout() {
    // The status display beside the transport buttons rather than above them:
    // the window must fit a 1280 x 720 screen and leave the lists their rows.
    auto* statusColumn = new QVBoxLayout;
    statusColumn->addWidget(status_, 1);
    statusColumn->addWidget(remainingTimeBar_);
    auto* top = new QHBoxLayout;
    top->addLayout(statusColumn, 1);
    top->addWidget(transportPanel_);
    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addWidget(pages_, 1);
    auto* lists = new QHBoxLayout;
    lists->addWidget(clipList_);
    lists->addWidget(fileList_);
    lists->addWidget(cueGroup_);
    left->addLayout(lists, 1);
    auto* layout = new QHBoxLayout(centralWidget());
    layout->addLayout(left);
}

void MainWindow::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto action = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QMenu* file = bar->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("File1"));
    // The list files: enabled once a Retrieve has filled the lists.
    action(file, "RecFile1", QStringLiteral("Save File List"));
    action(file, "SaveClipList1", QStringLiteral("Save Clip List"));
    action(file, "SaveS1", QStringLiteral("Save Seq List"));
    onSignal(action(file, "Exit1", QStringLiteral("Exit")), &QAction::triggered, this, &MainWindow::quitProgram);
    new ListFilesMenu(deck_, forms_, file, this);

    clearMenu_ = new ClearMenu(deck_, forms_, *fileList_, bar);
    bar->addMenu(clearMenu_);
}

// The link lamp, the REC tally and the "Retrieve" progress: what the operator
// must see at a glance, whichever page is open.
void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    linkState_ = new LinkStateLamp(deck_.monitor(), *status_, bar);
    recTally_ = new RecTally(bar);
    retrieveProgress_ = new RetrieveProgress(deck_, bar);
    bar->addWidget(linkState_);
    bar->addWidget(recTally_);
    bar->addPermanentWidget(retrieveProgress_);
    notices_ = new StatusNotices(deck_, *devicePage_, *bar);

    connect(&deck_, &Deck::transportChanged, this, [this] {
        const bool recording = deck_.status().rec;
        recTally_->setLit(recording);
        transportPanel_->showRecording(recording);
    });
}

// What the deck hears from the recorder, where the pages do not listen themselves.
void MainWindow::wireDeck() {
    onSignal(&deck_, &Deck::discovered, devicePage_,
             [this](int line, const QString& address) { devicePage_->showDiscoveredDevice(line, address); });
    onSignal(&deck_, &Deck::diskConfigurationReported, configPage_,
             [this](int item) { configPage_->diskConfigurationGroup->setFromReply(item); });
    // The deck has already left out a repeat of the same failure. A send
    // error is boxed once per Apply (or Scan): when it comes back after a clean tick
    // (a name that resolves now and then) the lamp's SEND ERROR says it.
    connect(&deck_, &Deck::linkEnabledChanged, this, [this] { boxedSendErrors_.clear(); });  // Apply, Scan
    connect(&deck_, &Deck::errorRaised, this, [this](const QString& message) {
        if (message == deck_.monitor().sendError()) {
            if (boxedSendErrors_.contains(message)) return;
            boxedSendErrors_ << message;
        }
        ErrorBox::show(message);
    });
}

// "Exit": the poll cycle stops and the program ends; waiting commands are
// dropped, nothing is saved.
// A menu of its own after the others, so that File and the clear menu keep
// their items; and the lamp, shown only while the log cannot write.
void MainWindow::setEventLog(EventLog* log) {
    if (eventLog_ || !log) return;
    eventLog_ = log;
    QMenu* menu = menuBar()->addMenu(QStringLiteral("Log"));
    menu->setObjectName(QStringLiteral("Log1"));
    QAction* open = menu->addAction(QStringLiteral("Event Log"));
    open->setObjectName(QStringLiteral("EventLog1"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    open->setShortcutContext(Qt::WindowShortcut);
    addAction(open);
    onSignal(open, &QAction::triggered, this, &MainWindow::showEventLog);
    logState_ = new LogStateLamp(*log, statusBar());
    statusBar()->addWidget(logState_);
}

void MainWindow::showEventLog() {
    if (!eventLog_) return;
    if (!eventLogWindow_) eventLogWindow_ = new EventLogWindow(*eventLog_, this);
    eventLogWindow_->show();
    eventLogWindow_->raise();
    eventLogWindow_->activateWindow();
}

void MainWindow::quitProgram() {
    deck_.shutdown();
    QCoreApplication::quit();
}

}  // namespace qz7
