// Settings read-back: entering a settings page queues that page's read
// requests; each page sets its own controls from the recorder's answers,
// whichever page is shown when they arrive.
#include "link/commands.h"
#include "deck/deck.h"
#include "ui/handler.h"
#include "ui/main_window.h"
#include "ui/sequence_page.h"
#include "ui/status_panel.h"

namespace qz7 {

void TForm1::PageControl1Change(int index) {
    switch (index) {
    case TimecodeTab: settingFallback(deck_, cmd::settingsRequest(Sense::TimecodeSettings)); break;
    case GenlockTab: settingFallback(deck_, cmd::settingsRequest(Sense::Genlock)); break;
    case TestSignalTab: settingFallback(deck_, cmd::settingsRequest(Sense::TestSignal)); break;
    case AudioTab:
        // The delay has its own answer; input, channels and converter come
        // with the next status reply.
        settingFallback(deck_, cmd::settingsRequest(Sense::AudioDelay));
        break;
    case VideoTab:
        settingFallback(deck_, cmd::settingsRequest(Sense::CompressionQuality));
        settingFallback(deck_, cmd::settingsRequest(Sense::Anc));
        break;
    case CharacterTab: settingFallback(deck_, cmd::settingsRequest(Sense::Character)); break;
    case ControlTab:
        settingFallback(deck_, cmd::settingsRequest(Sense::RecordMode));
        settingFallback(deck_, cmd::settingsRequest(Sense::PlaybackMode));
        settingFallback(deck_, cmd::prerollRequest());
        settingFallback(deck_, cmd::settingsRequest(Sense::StillMode));
        break;
    case SequenceTab: sequencePage_->requestBlocks(); break;
    default: break;  // " Clip", "Config", "Device": nothing to read
    }
}

}  // namespace qz7
