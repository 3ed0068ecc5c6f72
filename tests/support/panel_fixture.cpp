#include "panel_fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include "ui/widgets.h"

namespace qz7::test {

void PanelTest::SetUp() {
    ErrorBox::dismiss();
    ErrorBox::resetCounters();
    forms = std::make_unique<StandaloneForms>();
    // Handlers are driven by hand here; the poll cycle would drain the stack.
    deck().linkForTesting().pollDriver().stop();
}

void PanelTest::TearDown() {
    ErrorBox::dismiss();
    forms.reset();
}

std::vector<Bytes> PanelTest::takeQueued() {
    CommandStack& s = deck().linkForTesting().commandStack();
    std::vector<Bytes> out;
    for (int i = 0; i < s.count(); ++i) out.push_back(s.at(i).wire());
    s.clear();
    return out;
}

std::vector<Bytes> PanelTest::takeTransmitOrder() {
    auto q = takeQueued();
    return {q.rbegin(), q.rend()};
}

void PanelTest::feed(const Bytes& datagram) {
    deck().linkForTesting().decoder().decode(datagram, Sender{"127.0.0.1", true}, true);
}

void PanelTest::linkOn() { deck().linkForTesting().pollCycle().setLinkEnabled(true); }

void PanelTest::tickEnds() { emit deck().linkForTesting().pollDriver().tickFinished(); }

void PanelTest::whenModalShows(std::function<void(QWidget*)> answer) {
    // Owned by the main window: a dialog that never shows cannot leak this
    // answer into a later test.
    auto* timer = new QTimer(&main());
    timer->setInterval(5);
    auto* deadline = new QElapsedTimer;
    deadline->start();
    QObject::connect(timer, &QTimer::destroyed, [deadline] { delete deadline; });
    QObject::connect(timer, &QTimer::timeout, [timer, answer, deadline] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && deadline->elapsed() > 5000) {
            ADD_FAILURE() << "no modal dialog showed";
            timer->stop();
            timer->deleteLater();
            return;
        }
        if (!modal) return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start();
}

std::vector<std::string> PanelTest::lines(const QListWidget* list) {
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) out.push_back(toBytes(list->item(i)->text()));
    return out;
}

void fillListsAsRetrieve(MainWindow& main) {
    const QStringList blanks(512, QStringLiteral(" "));
    control<QListWidget>(main, "ListBox1")->addItems(blanks);
    control<QListWidget>(main, "ListBox2")->addItems(blanks);
    control<QListWidget>(main, "ListBox4")->addItems(blanks);
}

}  // namespace qz7::test
