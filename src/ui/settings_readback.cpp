// Settings read-back: entering a settings page queues that page's read
// requests; the recorder's answers set the page's controls, whichever page
// is shown when they arrive.
#include "ui/audio_page.h"
#include "ui/control_page.h"
#include "ui/genlock_page.h"
#include "ui/main_window.h"
#include "ui/radio_group.h"
#include "ui/sequence_page.h"
#include "ui/test_signal_page.h"
#include "ui/timecode_page.h"
#include "ui/video_page.h"

namespace qz7 {

namespace {
Packet request(std::uint8_t code) { return Packet::frame(Group::Sense, code); }
}  // namespace

void TForm1::PageControl1Change(int index) {
    switch (index) {
    case TimecodeTab: queue(request(Sense::TimecodeSettings)); break;
    case GenlockTab: queue(request(Sense::Genlock)); break;
    case TestSignalTab: queue(request(Sense::TestSignal)); break;
    case AudioTab:
        // The delay has its own answer; input, channels and converter come
        // with the next status reply.
        queue(request(Sense::AudioDelay));
        audioReadbackPending = 1;
        break;
    case VideoTab:
        queue(request(Sense::CompressionQuality));
        queue(request(Sense::Anc));
        break;
    case CharacterTab: queue(request(Sense::Character)); break;
    case ControlTab:
        queue(request(Sense::RecordMode));
        queue(request(Sense::PlaybackMode));
        queue(Packet::raw({Preroll::RequestLead0, Preroll::RequestLead1}));
        queue(request(Sense::StillMode));
        break;
    case SequenceTab: sequencePage_->requestBlocks(); break;
    default: break;  // " Clip", "Config", "Device": nothing to read
    }
}

// The decoder has checked each code's length; byte 4 is the first data byte.
void TForm1::onSettingsAnswer(std::uint8_t code, std::span<const std::uint8_t> d) {
    switch (code) {
    case Sense::TimecodeSettings:
        timecodePage_->RadioGroup5->setFromReply((d[4] & 0x01) ? 1 : 0);
        timecodePage_->RadioGroup6->setFromReply((d[4] & 0x02) ? 1 : 0);
        timecodePage_->RadioGroup4->setFromReply((d[4] & 0x1C) >> 2);
        break;
    case Sense::Genlock:
        genlockPage_->RadioGroup7->setFromReply(d[4] & 0x03);
        genlockPage_->RadioGroup20->setFromReply(d[5] & 0x03);
        genlockPage_->RadioGroup21->setFromReply(d[6] & 0x03);
        break;
    case Sense::TestSignal:
        testSignalPage_->RadioGroup8->setFromReply(d[4] & 0x07);
        testSignalPage_->RadioGroup9->setFromReply(d[5] & 0x03);
        break;
    case Sense::AudioDelay: {
        const int delay = static_cast<std::int8_t>(d[4]);
        if (delay >= 0 && delay <= 11) audioPage_->RadioGroup13->setFromReply(delay);
        break;
    }
    case Sense::CompressionQuality: {
        const int quality = d[4] & 0x07;
        videoPage_->RadioGroup14->setFromReply(quality > 3 ? 0 : quality);
        break;
    }
    case Sense::Anc: videoPage_->RadioGroup15->setFromReply(d[4] & 0x01); break;
    case Sense::RecordMode: controlPage_->applyRecordModeAnswer(d[4], le16(d, 5)); break;
    case Sense::PlaybackMode: controlPage_->RadioGroup17->setFromReply(d[4] & 0x03); break;
    case Sense::StillMode: controlPage_->RadioGroup22->setFromReply(d[4] & 0x03); break;
    default: break;
    }
}

}  // namespace qz7
