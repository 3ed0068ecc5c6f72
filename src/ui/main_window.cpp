#include "ui/main_window.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdlib>

#include "media/media_model.h"
#include "net/link_monitor.h"
#include "net/recorder_link.h"
#include "ui/audio_page.h"
#include "ui/character_page.h"
#include "ui/clear_menu.h"
#include "ui/clip_list_panel.h"
#include "ui/clip_page.h"
#include "ui/config_page.h"
#include "ui/control_page.h"
#include "ui/cue_group.h"
#include "ui/device_page.h"
#include "ui/file_list_panel.h"
#include "ui/forms.h"
#include "ui/genlock_page.h"
#include "ui/handler.h"
#include "ui/media_lists.h"
#include "ui/radio_group.h"
#include "ui/retrieve_progress.h"
#include "ui/sequence_page.h"
#include "ui/status_lamps.h"
#include "ui/status_panel.h"
#include "ui/test_signal_page.h"
#include "ui/tick_error_filter.h"
#include "ui/timecode_page.h"
#include "ui/transport_panel.h"
#include "ui/video_page.h"

namespace qz7 {

TForm1::TForm1(Forms& forms, QWidget* parent)
    : QMainWindow(parent), forms_(forms), link_(forms.link()), media_(forms.media()) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("QZ7pro-Controller"));
    buildAreas();
    buildLayout();
    buildMenu();
    buildStatusBar();
    wireReplies();
    FormCreate();
    // The poll cycle ticks from the first moment; nothing is sent before "Apply".
    link_.pollDriver().start();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    link_.reset();
    status_->errorLatch = 0;
    media_.reset();
}

void TForm1::showMediaLists(MediaLists& lists) {
    lists.show(MediaList::Files, fileList_->ListBox2);
    lists.show(MediaList::Clips, clipList_->ListBox1);
    lists.show(MediaList::Cues, cueGroup_->ListBox4);
    lists.show(MediaList::Sequences, sequencePage_->ListBox3);
}

void TForm1::buildAreas() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralArea"));
    setCentralWidget(central);

    status_ = new StatusPanel(link_, central);
    progressBar_ = new QProgressBar(central);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setRange(0, 100);
    progressBar_->setValue(80);
    progressBar_->setFormat(QStringLiteral("REMAINING TIME"));
    progressBar_->setTextVisible(true);
    progressBar_->setEnabled(false);

    transportPanel_ = new TransportPanel(link_, media_, central);
    transportPanel_->setEnabled(false);

    pageControl_ = new QTabWidget(central);
    pageControl_->setObjectName(QStringLiteral("PageControl1"));
    timecodePage_ = new TimecodePage(link_, pageControl_);
    genlockPage_ = new GenlockPage(link_, pageControl_);
    testSignalPage_ = new TestSignalPage(link_, pageControl_);
    audioPage_ = new AudioPage(link_, pageControl_);
    videoPage_ = new VideoPage(link_, pageControl_);
    characterPage_ = new CharacterPage(link_, pageControl_);
    controlPage_ = new ControlPage(link_, pageControl_);
    clipPage_ = new ClipPage(link_, media_, *status_, pageControl_);
    sequencePage_ = new SequencePage(link_, media_, forms_, pageControl_);
    configPage_ = new ConfigPage(link_, forms_, pageControl_);
    devicePage_ = new DevicePage(link_, media_, pageControl_);
    pageControl_->addTab(timecodePage_, QStringLiteral("Timecode"));
    pageControl_->addTab(genlockPage_, QStringLiteral("Gen-lock"));
    pageControl_->addTab(testSignalPage_, QStringLiteral("Test signal"));
    pageControl_->addTab(audioPage_, QStringLiteral("  Audio  "));
    pageControl_->addTab(videoPage_, QStringLiteral("  Video  "));
    pageControl_->addTab(characterPage_, QStringLiteral("Character"));
    pageControl_->addTab(controlPage_, QStringLiteral("Control"));
    pageControl_->addTab(clipPage_, QStringLiteral(" Clip"));
    pageControl_->addTab(sequencePage_, QStringLiteral("Sequence"));
    pageControl_->addTab(configPage_, QStringLiteral("Config"));
    pageControl_->addTab(devicePage_, QStringLiteral("Device"));
    pageControl_->setCurrentIndex(DeviceTab);
    // Connected after the opening page is set: start-up reads nothing back.
    onSignal(pageControl_, &QTabWidget::currentChanged, this, [this](int index) { PageControl1Change(index); });

    clipList_ = new ClipListPanel(link_, media_, *clipPage_, central);
    clipList_->setEnabled(false);
    fileList_ = new FileListPanel(link_, media_, forms_, central);
    fileList_->setEnabled(false);
    cueGroup_ = new CueGroup(link_, media_, *status_, *controlPage_, forms_, central);
    cueGroup_->setEnabled(false);

    connect(clipList_, &ClipListPanel::clipPageWanted, pageControl_, [this] { pageControl_->setCurrentIndex(ClipTab); });
    connect(devicePage_, &DevicePage::applied, this, [this] {
        transportPanel_->setEnabled(true);
        progressBar_->setEnabled(true);
    });
    connect(devicePage_, &DevicePage::retrieveQueued, this, [this] {
        clipList_->setEnabled(true);
        fileList_->setEnabled(true);
        cueGroup_->setEnabled(true);
    });
    onSignal(status_, &StatusPanel::audioReadback, audioPage_,
             [this](std::uint8_t byte23) { audioPage_->applyStatusAudioBits(byte23); });
}

void TForm1::buildLayout() {
    // The status display beside the transport buttons rather than above them:
    // the window must fit a 1280 x 720 screen and leave the lists their rows.
    auto* statusColumn = new QVBoxLayout;
    statusColumn->addWidget(status_, 1);
    statusColumn->addWidget(progressBar_);
    auto* top = new QHBoxLayout;
    top->addLayout(statusColumn, 1);
    top->addWidget(transportPanel_);
    auto* left = new QVBoxLayout;
    left->addLayout(top);
    left->addWidget(pageControl_, 1);
    auto* lists = new QHBoxLayout;
    lists->addWidget(clipList_);
    lists->addWidget(fileList_);
    lists->addWidget(cueGroup_);
    left->addLayout(lists, 1);
    auto* layout = new QHBoxLayout(centralWidget());
    layout->addLayout(left);
}

void TForm1::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto action = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QMenu* file = bar->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("File1"));
    // The lists are never saved: these three stay disabled.
    action(file, "RecFile1", QStringLiteral("Save File List"))->setEnabled(false);
    action(file, "SaveClipList1", QStringLiteral("Save Clip List"))->setEnabled(false);
    action(file, "SaveS1", QStringLiteral("Save Seq List"))->setEnabled(false);
    onSignal(action(file, "Exit1", QStringLiteral("Exit")), &QAction::triggered, this, &TForm1::Exit1Click);

    clearMenu_ = new ClearMenu(link_, media_, forms_, *fileList_, bar);
    bar->addMenu(clearMenu_);
}

// The link lamp, the REC tally and the "Retrieve" progress: what the operator
// must see at a glance, whichever page is open.
void TForm1::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    linkMonitor_ = new LinkMonitor(link_, this);
    linkState_ = new LinkStateLamp(*linkMonitor_, *status_, bar);
    recTally_ = new RecTally(bar);
    retrieveProgress_ = new RetrieveProgress(link_.commandStack(), devicePage_->Button6, bar);
    bar->addWidget(linkState_);
    bar->addWidget(recTally_);
    bar->addPermanentWidget(retrieveProgress_);

    onSignal(status_, &StatusPanel::transportWordChanged, this, [this](const QString& word) {
        const bool recording = word == QLatin1String("REC");
        recTally_->setLit(recording);
        transportPanel_->showRecording(recording);
    });
    onSignal(devicePage_, &DevicePage::retrieveQueued, retrieveProgress_,
             [this](int bottom, int top) { retrieveProgress_->track(bottom, top); });
    onSignal(devicePage_, &DevicePage::applied, retrieveProgress_, [this] { retrieveProgress_->cancel(); });
}

// Each reply goes to the area that shows it; list replies go to the media model.
void TForm1::wireReplies() {
    onSignal(&link_, &RecorderLink::discovered, devicePage_,
             [this](const QString& address) { devicePage_->addDiscoveredDevice(address); });
    onSignal(&link_, &RecorderLink::timecodeReceived, status_,
             [this](std::uint8_t f, std::uint8_t s, std::uint8_t m, std::uint8_t h) { status_->applyTimecode(f, s, m, h); });
    onSignal(&link_, &RecorderLink::statusReceived, status_,
             [this](const StatusReply& reply) { status_->applyStatus(reply); });
    onSignal(&link_, &RecorderLink::errorTextReceived, status_,
             [this](const std::string& text) { status_->applyErrorText(text); });
    onSignal(&link_, &RecorderLink::systemReceived, configPage_,
             [this](int disk, int) { configPage_->RadioGroup2->setFromReply(disk); });
    connectMediaReplies(link_, media_, this);
    // A system reply makes "Retrieve" usable, but not while its burst is still going out.
    connect(&link_, &RecorderLink::systemReceived, devicePage_, [this] {
        if (!retrieveProgress_->running()) devicePage_->Button6->setEnabled(true);
    });
    onSignal(&link_, &RecorderLink::settingsAnswerReceived, this, [this](std::uint8_t code, const QByteArray& d) {
        timecodePage_->applySettingsAnswer(code, d);
        genlockPage_->applySettingsAnswer(code, d);
        testSignalPage_->applySettingsAnswer(code, d);
        audioPage_->applySettingsAnswer(code, d);
        videoPage_->applySettingsAnswer(code, d);
        controlPage_->applySettingsAnswer(code, d);
    });
    onSignal(&link_, &RecorderLink::characterAnswerReceived, characterPage_,
             [this](const std::array<std::uint8_t, 16>& data) { characterPage_->applyAnswer(data); });
    onSignal(&link_, &RecorderLink::prerollTimeReceived, controlPage_,
             [this](std::uint8_t secondsByte) { controlPage_->applyPrerollAnswer(secondsByte); });
    connect(&link_, &RecorderLink::tickError, new TickErrorFilter(link_, this), &TickErrorFilter::report);
}

// "Exit": ends the process at once; waiting commands are dropped, nothing is saved.
void TForm1::Exit1Click() { std::exit(0); }

}  // namespace qz7
