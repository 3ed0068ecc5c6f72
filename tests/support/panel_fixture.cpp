#include "panel_fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include "ui/clip_list_panel.h"
#include "ui/cue_group.h"
#include "ui/file_list_panel.h"
#include "ui/widgets.h"

namespace qz7::test {

Bytes withSum(Bytes bytes) {
    bytes.push_back(checksum(bytes));
    return bytes;
}

Bytes reply(std::uint8_t group, std::uint8_t code, const Bytes& data) {
    Bytes b{kLead, static_cast<std::uint8_t>(data.size()), group, code};
    b.insert(b.end(), data.begin(), data.end());
    return withSum(b);
}

void fixSum(Bytes& d) {
    if (d.empty()) return;
    d.back() = checksum(std::span<const std::uint8_t>(d.data(), d.size() - 1));
}

Bytes blankReply(std::uint8_t group, std::uint8_t code, std::size_t totalLength) {
    Bytes d(totalLength, 0);
    d[0] = kLead;
    d[1] = static_cast<std::uint8_t>(totalLength - 5);
    d[2] = group;
    d[3] = code;
    fixSum(d);
    return d;
}

void PanelTest::SetUp() {
    ErrorBox::dismiss();
    ErrorBox::resetCounters();
    forms = std::make_unique<Forms>();
    // Handlers are driven by hand here; the poll cycle would drain the stack.
    main().pollDriver().stop();
}

void PanelTest::TearDown() {
    ErrorBox::dismiss();
    forms.reset();
}

std::vector<Bytes> PanelTest::takeQueued() {
    CommandStack& s = main().commandStack();
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
    main().decoder().decode(datagram, Sender{"127.0.0.1", true}, true);
}

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

void fillListsAsRetrieve(TForm1& main) {
    const QStringList blanks(512, QStringLiteral(" "));
    main.clipListPanel()->ListBox1->addItems(blanks);
    main.fileListPanel()->ListBox2->addItems(blanks);
    main.cueGroup()->ListBox4->addItems(blanks);
}

}  // namespace qz7::test
