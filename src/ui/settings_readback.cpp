// Settings read-back: entering a settings page asks the deck to read that
// page back from the recorder; each page sets its own controls from the
// deck's answers, whichever page is shown when they arrive.
#include "deck/deck.h"
#include "deck/deck_settings.h"
#include "ui/handler.h"
#include "ui/main_window.h"
#include "ui/sequence_page.h"

namespace qz7 {

void MainWindow::readBackPage(int index) {
    const auto read = [this](SettingsPage page) { act(deck_.settings().read(page, Origin::panel())); };
    switch (index) {
    case TimecodeTab: read(SettingsPage::Timecode); break;
    case GenlockTab: read(SettingsPage::Genlock); break;
    case TestSignalTab: read(SettingsPage::TestSignal); break;
    case AudioTab: read(SettingsPage::Audio); break;
    case VideoTab: read(SettingsPage::Video); break;
    case CharacterTab: read(SettingsPage::Character); break;
    case ControlTab: read(SettingsPage::Control); break;
    case SequenceTab: sequencePage_->requestBlocks(); break;
    default: break;  // " Clip", "Config", "Device": nothing to read
    }
}

}  // namespace qz7
