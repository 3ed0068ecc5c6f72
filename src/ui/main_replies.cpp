// The reply sink of the main window: replies that fill the media tables and
// their lists are applied here; the status replies go to the status panel.
#include <QListWidget>
#include <QPushButton>

#include "ui/clip_list_panel.h"
#include "ui/config_page.h"
#include "ui/cue_group.h"
#include "ui/device_page.h"
#include "ui/file_list_panel.h"
#include "ui/main_window.h"
#include "ui/radio_group.h"
#include "ui/schedule_window.h"
#include "ui/sequence_page.h"
#include "ui/status_panel.h"
#include "ui/forms.h"
#include "ui/widgets.h"

namespace qz7 {

void TForm1::onDiscovery(const std::string& senderAddress) {
    devicePage_->addDiscoveredDevice(QString::fromStdString(senderAddress));
}

void TForm1::onTimecode(std::uint8_t frames, std::uint8_t seconds, std::uint8_t minutes, std::uint8_t hours) {
    status_->applyTimecode(frames, seconds, minutes, hours);
}

void TForm1::onStatus(const StatusReply& status) { status_->applyStatus(status); }

void TForm1::onErrorText(const std::string& text) { status_->applyErrorText(text); }

void TForm1::onSystem(int diskConfiguration, int recordedFileCount) {
    configPage_->RadioGroup2->setFromReply(diskConfiguration);
    tables_.recordedFileCount = recordedFileCount;
    devicePage_->Button6->setEnabled(true);
}

void TForm1::onCueEntry(int k, bool present, const PositionBytes& position, const std::string& name) {
    QListWidget* list = cueGroup_->ListBox4;
    if (!present) {
        // An empty slot blanks its line and leaves the table as it was.
        replaceLine(list, k, kBlankLine);
        return;
    }
    CueEntry& e = tables_.cues[static_cast<std::size_t>(k)];
    e.position = Timecode::fromBytes(position);
    e.name = name;
    replaceLine(list, k, cueLine(e));
    e.used = 1;
    ++tables_.cueCount;
}

void TForm1::onClipEntry(int k, bool present, const PositionBytes& in, const PositionBytes& out,
                         const std::string& name) {
    if (!present) {
        replaceLine(clipList_->ListBox1, k, kBlankLine);
        return;
    }
    ClipEntry& e = tables_.clips[static_cast<std::size_t>(k)];
    e.in = Timecode::fromBytes(in);
    e.out = Timecode::fromBytes(out);
    e.name = name;
    const std::string line = clipLine(k, e.name);
    replaceLine(clipList_->ListBox1, k, line);
    // The "Sequence Play" list starts with 100 lines; a higher clip grows it.
    replaceLineGrowing(forms_.form2()->ListBox1, k, line);
    ++tables_.clipCount;
}

void TForm1::onInhibit(int fileNumber, std::uint8_t flag) {
    tables_.files[static_cast<std::size_t>(fileNumber - 1)].inhibit = flag;
}

void TForm1::onFileName(int fileNumber, const std::string& name) {
    FileEntry& e = tables_.files[static_cast<std::size_t>(fileNumber - 1)];
    e.name = name;
    replaceLine(fileList_->ListBox2, fileNumber - 1, fileLine(fileNumber, e));
}

void TForm1::onSequenceHeader(int s, std::uint8_t blockCount, std::uint8_t entryCount) {
    SequenceRecord& r = tables_.sequences[static_cast<std::size_t>(s)];
    r.blockCount = blockCount;
    r.entryCount = entryCount;
    if (entryCount != 0) replaceLine(sequencePage_->ListBox3, s, sequenceLine(s));
}

void TForm1::onSequenceBlock(int s, int b, const std::array<std::int16_t, 5>& steps) {
    SequenceRecord& r = tables_.sequences[static_cast<std::size_t>(s)];
    for (std::size_t i = 0; i < steps.size(); ++i)
        if (steps[i] >= 0) r.steps[static_cast<std::size_t>(5 * b) + i] = steps[i];
}

}  // namespace qz7
