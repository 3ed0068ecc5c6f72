// Operator actions on the settings pages for widget tests. Push buttons are
// pressed with the mouse, through the application object, so a handler's
// error reaches the error box. Radio buttons and check boxes only take a
// mouse hit on their laid-out indicator, which pages that were never shown
// lack, so they get the button's own click: the same clicked signals.
#pragma once

#include <QAbstractButton>
#include <QTest>

#include "ui/radio_group.h"

namespace qz7::test {

inline void press(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

inline void toggle(QAbstractButton* box) { box->click(); }

inline void pick(RadioGroup* group, int item) { group->button(item)->click(); }

}  // namespace qz7::test
