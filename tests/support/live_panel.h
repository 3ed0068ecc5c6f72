// End-to-end support: the panel and recorder simulators in one process,
// talking over real UDP on loopback addresses, with the poll cycle running
// on its own timer exactly as in the program.
#pragma once

#include <QByteArray>
#include <QListWidget>
#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "app/options.h"
#include "simserver.h"
#include "media/media_model.h"
#include "net/recorder_link.h"
#include "standalone_forms.h"
#include "ui/forms.h"
#include "ui/main_window.h"
#include "controls.h"

namespace qz7::test {

class LivePanelTest : public ::testing::Test {
protected:
    void TearDown() override;

    // A simulator bound to address:20000; every request it receives is recorded.
    qz7sim::SimServer& startSim(const QString& address, const qz7sim::Config& config = {},
                                qz7sim::SimOptions options = {});
    // The panel, pointed at the given recorders (as --devices does).
    MainWindow& startPanel(const DevicePair& devices);
    MainWindow& main() { return *forms_->mainWindow(); }
    Deck& deck() { return forms_->deck(); }
    MediaTables& tables() { return forms_->deck().mediaForTesting().tablesForTesting(); }

    // Selects device list line `line` (-1: none) and clicks "Apply".
    void apply(int line = 0);
    // Clicks "Retrieve" once it is enabled; false if it never was.
    bool retrieve(int timeoutMs = 5000);
    // Runs the event loop until pred holds or the time is up.
    static bool waitFor(const std::function<bool()>& pred, int timeoutMs);
    // Runs the event loop until the command stack is empty and a few more ticks passed.
    bool waitDrained(int timeoutMs);

    // Requests received by simulator i (in start order), oldest first.
    const std::vector<QByteArray>& received(std::size_t i) const { return received_.at(i); }

    // Data paths run at a few milliseconds per tick; a test of the program's
    // own pace sets LinkTiming{} (20 ms, 33 ms) before startPanel.
    LinkTiming timing_{std::chrono::milliseconds(1), std::chrono::milliseconds(3)};

    std::vector<std::unique_ptr<qz7sim::SimServer>> sims_;
    std::vector<std::vector<QByteArray>> received_;
    std::unique_ptr<Forms> forms_;
};

QByteArray hexBytes(std::initializer_list<int> bytes);
// Line texts of a list as byte strings.
std::vector<std::string> listLines(const QListWidget* list);

}  // namespace qz7::test
