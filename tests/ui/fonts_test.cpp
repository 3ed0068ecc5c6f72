// Every character of the panel's fixed texts has a glyph in the font it is
// drawn with, fallback fonts included: the Japanese message and the
// full-width colons need a font that covers them (scripts/setup installs
// one), or they show as empty boxes.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <gtest/gtest.h>
#include <stdexcept>

#include "ui/confirmation_dialog.h"
#include "ui/cue_edit_dialog.h"
#include "ui/file_name_dialog.h"
#include "standalone_forms.h"
#include "ui/forms.h"
#include "ui/last_file_erase_dialog.h"
#include "ui/main_window.h"
#include "ui/schedule_window.h"
#include "ui/widgets.h"

namespace qz7::test {
namespace {

struct ShownText {
    QString text;
    QFont font;
    QString where;
};

void collectTexts(QWidget* window, std::vector<ShownText>& out) {
    const auto add = [&out](const QString& text, const QWidget* w) { out.push_back({text, w->font(), w->objectName()}); };
    add(window->windowTitle(), window);
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(w)) add(label->text(), w);
        if (auto* button = qobject_cast<QAbstractButton*>(w)) add(button->text(), w);
        if (auto* group = qobject_cast<QGroupBox*>(w)) add(group->title(), w);
        if (auto* menu = qobject_cast<QMenu*>(w)) add(menu->title(), w);
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i) add(tabs->tabText(i), w);
    }
    for (QAction* action : window->findChildren<QAction*>()) add(action->text(), window);
}

TEST(Fonts, EveryFixedTextHasItsGlyphs) {
    DevicePair devices;
    devices.first = QStringLiteral("127.0.0.95");
    devices.single = true;
    StandaloneForms forms(devices);
    std::vector<ShownText> texts;
    for (QWidget* window : std::initializer_list<QWidget*>{forms.mainWindow(), forms.scheduleWindow(), forms.fileNameDialog(),
                                                           forms.lastFileEraseDialog(), forms.confirmationDialog(), forms.cueEditDialog()})
        collectTexts(window, texts);
    try {
        toInteger(QStringLiteral("x"));
    } catch (const std::invalid_argument& e) {
        texts.push_back({QString::fromUtf8(e.what()), QApplication::font(), QStringLiteral("error box")});
    }

    QString everything;
    QStringList missing;
    for (const ShownText& t : texts) {
        everything += t.text;
        const QFontMetrics metrics(t.font);
        for (char32_t c : t.text.toUcs4())
            if (!QChar::isSpace(c) && !metrics.inFontUcs4(c))
                missing << QStringLiteral("U+%1 '%2' in %3 (%4)")
                               .arg(static_cast<uint>(c), 4, 16, QLatin1Char('0'))
                               .arg(QString::fromUcs4(&c, 1), t.where, t.font.family());
    }
    // The collection reached the texts that need more than a Latin font.
    EXPECT_TRUE(everything.contains(QStringLiteral("は整数ではありません")));
    EXPECT_TRUE(everything.contains(QStringLiteral("：")));
    EXPECT_TRUE(missing.isEmpty()) << "no glyph for:\n" << missing.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace qz7::test
