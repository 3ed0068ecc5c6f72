#include "live_panel.h"

#include "wait_for.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "ui/error_box.h"
#include "ui/widgets.h"

namespace qz7::test {

QByteArray hexBytes(std::initializer_list<int> bytes) {
    QByteArray out;
    for (int b : bytes) out.append(static_cast<char>(b));
    return out;
}

std::vector<std::string> listLines(const QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) out.push_back(toBytes(list->item(i)->text()));
    return out;
}

void LivePanelTest::TearDown() {
    ErrorBox::dismiss();
    forms_.reset();
    sims_.clear();
    received_.clear();
}

qz7sim::SimServer& LivePanelTest::startSim(const QString& address, const qz7sim::Config& config,
                                           qz7sim::SimOptions options) {
    options.address = QHostAddress(address);
    auto sim = std::make_unique<qz7sim::SimServer>(config, options);
    QString error;
    if (!sim->start(&error)) ADD_FAILURE() << "simulator on " << address.toStdString() << ": " << error.toStdString();
    const std::size_t index = received_.size();
    received_.emplace_back();
    QObject::connect(sim.get(), &qz7sim::SimServer::requestHandled,
                     [this, index](const QByteArray& request, int) { received_[index].push_back(request); });
    sims_.push_back(std::move(sim));
    return *sims_.back();
}

MainWindow& LivePanelTest::startPanel(const DevicePair& devices) {
    ErrorBox::dismiss();
    ErrorBox::resetCounters();
    forms_ = std::make_unique<StandaloneForms>(devices, timing_);
    return main();
}

void LivePanelTest::apply(int line) {
    control<QListWidget>(main(), "ListBox5")->setCurrentRow(std::max(line, -1));
    QTest::mouseClick(control<QPushButton>(main(), "Button7"), Qt::LeftButton);
}

bool LivePanelTest::retrieve(int timeoutMs) {
    QPushButton* button = control<QPushButton>(main(), "Button6");
    if (!waitFor([button] { return button->isEnabled(); }, timeoutMs)) return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

bool LivePanelTest::waitFor(const std::function<bool()>& pred, int timeoutMs) { return waitUntil(pred, timeoutMs); }

bool LivePanelTest::waitDrained(int timeoutMs) {
    if (!waitFor([this] { return deck().linkForTesting().commandStack().empty(); }, timeoutMs)) return false;
    // The last replies arrive within a few ticks.
    const PollDriver& driver = deck().linkForTesting().pollDriver();
    const qint64 until = driver.ticks() + 8;
    return waitFor([&] { return driver.ticks() >= until; }, timeoutMs);
}

}  // namespace qz7::test
