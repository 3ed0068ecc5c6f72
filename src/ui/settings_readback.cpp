// Settings read-back: entering a settings page queues that page's read
// requests; each page sets its own controls from the recorder's answers,
// whichever page is shown when they arrive.
#include "link/commands.h"
#include "net/recorder_link.h"
#include "ui/main_window.h"
#include "ui/sequence_page.h"
#include "ui/status_panel.h"

namespace qz7 {

void TForm1::PageControl1Change(int index) {
    switch (index) {
    case TimecodeTab: link_.queue(cmd::settingsRequest(Sense::TimecodeSettings)); break;
    case GenlockTab: link_.queue(cmd::settingsRequest(Sense::Genlock)); break;
    case TestSignalTab: link_.queue(cmd::settingsRequest(Sense::TestSignal)); break;
    case AudioTab:
        // The delay has its own answer; input, channels and converter come
        // with the next status reply.
        link_.queue(cmd::settingsRequest(Sense::AudioDelay));
        status_->audioReadbackPending = 1;
        break;
    case VideoTab:
        link_.queue(cmd::settingsRequest(Sense::CompressionQuality));
        link_.queue(cmd::settingsRequest(Sense::Anc));
        break;
    case CharacterTab: link_.queue(cmd::settingsRequest(Sense::Character)); break;
    case ControlTab:
        link_.queue(cmd::settingsRequest(Sense::RecordMode));
        link_.queue(cmd::settingsRequest(Sense::PlaybackMode));
        link_.queue(cmd::prerollRequest());
        link_.queue(cmd::settingsRequest(Sense::StillMode));
        break;
    case SequenceTab: sequencePage_->requestBlocks(); break;
    default: break;  // " Clip", "Config", "Device": nothing to read
    }
}

}  // namespace qz7
