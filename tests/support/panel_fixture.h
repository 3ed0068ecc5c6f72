// Test helpers for the panel: build the six windows with the poll timer
// stopped, read back what the handlers queued, feed replies to the decoder,
// and answer modal dialogs.
#pragma once

#include <QApplication>
#include <QListWidget>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "ui/error_box.h"
#include "link/protocol.h"
#include "wire_bytes.h"
#include "media/media_model.h"
#include "net/recorder_link.h"
#include "standalone_forms.h"
#include "ui/forms.h"
#include "ui/main_window.h"
#include "controls.h"

namespace qz7::test {

class PanelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    MainWindow& main() { return *forms->mainWindow(); }
    Deck& deck() { return forms->deck(); }
    // The media tables, writable for set-up.
    MediaTables& tables() { return forms->deck().mediaForTesting().tablesForTesting(); }

    // Everything queued since the last call, in queue order, as wire bytes
    // (checksum appended); the stack is left empty.
    std::vector<Bytes> takeQueued();
    // The same in the order the poll cycle would transmit it (last in, first out).
    std::vector<Bytes> takeTransmitOrder();

    // Feeds one datagram to the decoder as if it came from the selected recorder, link on.
    void feed(const Bytes& datagram);
    // The link on, as after "Apply", without sending anything: the deck
    // refuses transport and list commands while it is off.
    void linkOn();
    // As the end of a poll tick: the deck looks at what left the stack.
    void tickEnds();

    // Runs `answer` on the next modal dialog (or any top-level widget) once it is shown.
    void whenModalShows(std::function<void(QWidget*)> answer);

    // Line texts of a list as byte strings.
    static std::vector<std::string> lines(const QListWidget* list);

    std::unique_ptr<Forms> forms;
};

// Fills the three main lists with 512 blank lines, as "Retrieve" does, without queuing.
void fillListsAsRetrieve(MainWindow& main);

}  // namespace qz7::test
