// Helpers for the transport and media list tests: the main window shown with
// its lower areas usable (as after "Apply" and "Retrieve"), list lines
// clicked as the operator clicks them, and the timecode display set through
// a real timecode reply.
#pragma once

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "panel_fixture.h"

namespace qz7::test {

class MediaListTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        linkOn();
        main().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
        control<QWidget>(main(), "Panel7")->setEnabled(true);
        control<QWidget>(main(), "Panel9")->setEnabled(true);
        control<QWidget>(main(), "Panel6")->setEnabled(true);
        control<QWidget>(main(), "GroupBox5")->setEnabled(true);
    }

    // The timecode display, as the recorder's timecode reply sets it (BCD bytes).
    void showTimecode(std::uint8_t h, std::uint8_t m, std::uint8_t s, std::uint8_t f) {
        feed(reply(0x37, 0x04, {f, s, m, h}));
    }

    static QPoint lineCentre(QListWidget* list, int row) {
        QListWidgetItem* item = list->item(row);
        list->scrollToItem(item);
        return list->visualItemRect(item).center();
    }
    static void clickLine(QListWidget* list, int row) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, lineCentre(list, row));
    }
    static void doubleClickLine(QListWidget* list, int row) {
        // As the window system delivers it: press, release, double-click, release.
        const QPoint at = lineCentre(list, row);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    }
    static void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // Runs action and tells whether it showed a modal dialog; one that shows
    // is closed at once so the test cannot hang.
    bool showsDialog(const std::function<void()>& action) {
        bool shown = false;
        QTimer::singleShot(0, &main(), [&shown] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                shown = true;
                modal->close();
            }
        });
        action();
        QCoreApplication::processEvents();
        return shown;
    }

    // A packet as transmitted: the bytes given, then their sum.
    static Bytes sent(Bytes bytes) { return withSum(std::move(bytes)); }
};

}  // namespace qz7::test
