#include "ui/character_page.h"

#include "ui/main_window.h"

namespace qz7 {

CharacterPage::CharacterPage(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("TabSheet8"));
}

void TForm1::onCharacterAnswer(const std::array<std::uint8_t, 16>&) {}

}  // namespace qz7
