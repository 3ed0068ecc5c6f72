#include "ui/audio_page.h"

#include "ui/main_window.h"

namespace qz7 {

AudioPage::AudioPage(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("TabSheet4"));
}

void AudioPage::applyStatusAudioBits(std::uint8_t) {}

}  // namespace qz7
