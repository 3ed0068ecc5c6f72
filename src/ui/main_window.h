// TForm1, "QZ7pro-Controller": the main window. It owns the link (endpoints,
// command stack, poll cycle, reply decoder), the media tables and the flags,
// and it is the reply sink: list replies are applied here (main_replies.cpp),
// the rest is handed to the area that shows it. Each area of the window is
// its own class in its own file, named after what the operator sees.
#pragma once

#include <QMainWindow>
#include <memory>

#include "app/options.h"
#include "link/command_stack.h"
#include "link/poll_cycle.h"
#include "link/reply_decoder.h"
#include "media/media_tables.h"
#include "net/poll_driver.h"
#include "net/udp_transport.h"

class QAction;
class QMenu;
class QProgressBar;
class QTabWidget;

namespace qz7 {

class Forms;
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

class TForm1 : public QMainWindow, public ReplySink {
    Q_OBJECT
public:
    // Page indexes of PageControl1, in tab order.
    enum Page {
        TimecodeTab = 0, GenlockTab, TestSignalTab, AudioTab, VideoTab, CharacterTab,
        ControlTab, ClipTab, SequenceTab, ConfigTab, DeviceTab
    };

    TForm1(Forms& forms, const DevicePair& devices, QWidget* parent = nullptr);
    ~TForm1() override;

    // Start-up state: link off, empty tables, nothing queued.
    void FormCreate();

    // The command stack. Nothing sends at once: the poll cycle does.
    void queue(const Packet& packet) { stack_.queue(packet); }
    CommandStack& commandStack() { return stack_; }
    PollCycle& pollCycle() { return cycle_; }
    UdpTransport& transport() { return *transport_; }
    PollDriver& pollDriver() { return *driver_; }
    ReplyDecoder& decoder() { return decoder_; }
    bool linkEnabled() const { return cycle_.linkEnabled(); }

    MediaTables& tables() { return tables_; }
    Forms& forms() { return forms_; }
    const DevicePair& devices() const { return devices_; }

    QTabWidget* PageControl1() { return pageControl_; }
    QProgressBar* ProgressBar1() { return progressBar_; }

    StatusPanel* statusPanel() { return status_; }
    TransportPanel* transportPanel() { return transportPanel_; }
    FileListPanel* fileListPanel() { return fileList_; }
    ClipListPanel* clipListPanel() { return clipList_; }
    CueGroup* cueGroup() { return cueGroup_; }
    TimecodePage* timecodePage() { return timecodePage_; }
    GenlockPage* genlockPage() { return genlockPage_; }
    TestSignalPage* testSignalPage() { return testSignalPage_; }
    AudioPage* audioPage() { return audioPage_; }
    VideoPage* videoPage() { return videoPage_; }
    CharacterPage* characterPage() { return characterPage_; }
    ControlPage* controlPage() { return controlPage_; }
    ClipPage* clipPage() { return clipPage_; }
    SequencePage* sequencePage() { return sequencePage_; }
    ConfigPage* configPage() { return configPage_; }
    DevicePage* devicePage() { return devicePage_; }

    // Main window flags (0 at start).
    int errorLatch = 0;
    int audioReadbackPending = 0;
    int foundDeviceCount = 0;
    // Dialog answers: 1 after OK, reset by the caller once it has acted.
    int fileEditAnswer = 0;
    int eraseAnswer = 0;
    int confirmationAnswer = 0;
    int cueEditAnswer = 0;

    // ReplySink
    void onDiscovery(const std::string& senderAddress) override;
    void onTimecode(std::uint8_t frames, std::uint8_t seconds, std::uint8_t minutes, std::uint8_t hours) override;
    void onStatus(const StatusReply& status) override;
    void onErrorText(const std::string& text) override;
    void onSystem(int diskConfiguration, int recordedFileCount) override;
    void onCueEntry(int cue, bool present, const PositionBytes& position, const std::string& name) override;
    void onClipEntry(int clip, bool present, const PositionBytes& in, const PositionBytes& out,
                     const std::string& name) override;
    void onInhibit(int fileNumber, std::uint8_t flag) override;
    void onFileName(int fileNumber, const std::string& name) override;
    void onSequenceHeader(int sequence, std::uint8_t blockCount, std::uint8_t entryCount) override;
    void onSequenceBlock(int sequence, int block, const std::array<std::int16_t, 5>& steps) override;
    void onSettingsAnswer(std::uint8_t code, std::span<const std::uint8_t> datagram) override;
    void onCharacterAnswer(const std::array<std::uint8_t, 16>& data) override;
    void onPrerollTime(std::uint8_t secondsByte) override;

public slots:
    void Exit1Click();
    void PageControl1Change(int index);        // settings_readback.cpp
    void ClearCueList1Click();                 // clear_menu.cpp
    void ClearClipList1Click();                // clear_menu.cpp
    void ClearSeq1Click();                     // clear_menu.cpp
    void LastFileErase2Click();                // file_list_panel.cpp

private:
    void buildMenu();
    void buildLayout();

    Forms& forms_;
    DevicePair devices_;
    CommandStack stack_;
    std::unique_ptr<UdpTransport> transport_;
    PollCycle cycle_;
    ReplyDecoder decoder_;
    std::unique_ptr<PollDriver> driver_;
    MediaTables tables_;

    QTabWidget* pageControl_ = nullptr;   // PageControl1
    QProgressBar* progressBar_ = nullptr; // ProgressBar1 "REMAINING TIME"
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
};

}  // namespace qz7
