#include "ui/main_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdlib>

#include "app/error_box.h"
#include "ui/audio_page.h"
#include "ui/character_page.h"
#include "ui/clip_list_panel.h"
#include "ui/clip_page.h"
#include "ui/config_page.h"
#include "ui/control_page.h"
#include "ui/cue_group.h"
#include "ui/device_page.h"
#include "ui/file_list_panel.h"
#include "ui/genlock_page.h"
#include "ui/sequence_page.h"
#include "ui/status_panel.h"
#include "ui/test_signal_page.h"
#include "ui/timecode_page.h"
#include "ui/transport_panel.h"
#include "ui/video_page.h"

namespace qz7 {

TForm1::TForm1(Forms& forms, const DevicePair& devices, QWidget* parent)
    : QMainWindow(parent),
      forms_(forms),
      devices_(devices),
      transport_(std::make_unique<UdpTransport>()),
      cycle_(stack_, *transport_),
      decoder_(*this) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("QZ7pro-Controller"));
    // Both endpoints are open from the start with the built-in pair.
    transport_->endpoint(1).host = devices_.first;
    transport_->endpoint(2).host = devices_.second;
    cycle_.setSecondEndpointUsed(!devices_.single);
    driver_ = std::make_unique<PollDriver>(cycle_, *transport_, decoder_);
    driver_->setErrorReporter([](const QString& message) { ErrorBox::show(message); });

    buildLayout();
    buildMenu();
    FormCreate();
    // The poll cycle ticks from the first moment; nothing is sent before "Apply".
    driver_->start();
}

TForm1::~TForm1() = default;

void TForm1::FormCreate() {
    cycle_.setLinkEnabled(false);
    errorLatch = 0;
    stack_.clear();
    tables_.reset();
}

void TForm1::buildLayout() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("CentralArea"));
    setCentralWidget(central);

    status_ = new StatusPanel(*this, central);
    progressBar_ = new QProgressBar(central);
    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setRange(0, 100);
    progressBar_->setValue(80);
    progressBar_->setFormat(QStringLiteral("REMAINING TIME"));
    progressBar_->setTextVisible(true);
    progressBar_->setEnabled(false);

    transportPanel_ = new TransportPanel(*this, central);
    transportPanel_->setEnabled(false);

    clipList_ = new ClipListPanel(*this, central);
    clipList_->setEnabled(false);
    fileList_ = new FileListPanel(*this, central);
    fileList_->setEnabled(false);
    cueGroup_ = new CueGroup(*this, central);
    cueGroup_->setEnabled(false);

    pageControl_ = new QTabWidget(central);
    pageControl_->setObjectName(QStringLiteral("PageControl1"));
    timecodePage_ = new TimecodePage(*this, pageControl_);
    genlockPage_ = new GenlockPage(*this, pageControl_);
    testSignalPage_ = new TestSignalPage(*this, pageControl_);
    audioPage_ = new AudioPage(*this, pageControl_);
    videoPage_ = new VideoPage(*this, pageControl_);
    characterPage_ = new CharacterPage(*this, pageControl_);
    controlPage_ = new ControlPage(*this, pageControl_);
    clipPage_ = new ClipPage(*this, pageControl_);
    sequencePage_ = new SequencePage(*this, pageControl_);
    configPage_ = new ConfigPage(*this, pageControl_);
    devicePage_ = new DevicePage(*this, pageControl_);
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
    connect(pageControl_, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);

    auto* left = new QVBoxLayout;
    left->addWidget(status_);
    left->addWidget(progressBar_);
    left->addWidget(transportPanel_);
    left->addWidget(pageControl_, 1);
    auto* lists = new QHBoxLayout;
    lists->addWidget(clipList_);
    lists->addWidget(fileList_);
    lists->addWidget(cueGroup_);
    left->addLayout(lists, 1);
    auto* layout = new QHBoxLayout(central);
    layout->addLayout(left);
}

void TForm1::buildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto action = [this](QMenu* menu, const char* name, const QString& caption) {
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
    connect(action(file, "Exit1", QStringLiteral("Exit")), &QAction::triggered, this, &TForm1::Exit1Click);

    QMenu* clear = bar->addMenu(QStringLiteral("Clear"));
    clear->setObjectName(QStringLiteral("List1"));
    connect(action(clear, "ClearCueList1", QStringLiteral("Clear Cue")), &QAction::triggered, this,
            &TForm1::ClearCueList1Click);
    connect(action(clear, "ClearClipList1", QStringLiteral("Clear Clip")), &QAction::triggered, this,
            &TForm1::ClearClipList1Click);
    connect(action(clear, "ClearSeq1", QStringLiteral("Clear Seq ")), &QAction::triggered, this,
            &TForm1::ClearSeq1Click);
    connect(action(clear, "LastFileErase2", QStringLiteral("Last File Erase")), &QAction::triggered, this,
            &TForm1::LastFileErase2Click);
}

// "Exit": ends the process at once; waiting commands are dropped, nothing is saved.
void TForm1::Exit1Click() { std::exit(0); }

}  // namespace qz7
