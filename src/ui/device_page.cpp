#include "ui/device_page.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/clip_list_panel.h"
#include "ui/cue_group.h"
#include "ui/file_list_panel.h"
#include "ui/main_window.h"
#include "ui/transport_panel.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {
Packet entryRequest(std::uint8_t code, int i) {
    return Packet::frame(Group::Sense, code,
                         {static_cast<std::uint8_t>(i & 0xFF), static_cast<std::uint8_t>((i >> 8) & 0xFF)});
}
}  // namespace

DevicePage::DevicePage(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("TabSheet11"));
    const DevicePair& d = main.devices();

    ListBox5 = new QListWidget(this);
    ListBox5->setObjectName(QStringLiteral("ListBox5"));
    ListBox5->addItem(d.first + QStringLiteral("   ") + d.firstId);
    if (!d.single) ListBox5->addItem(d.second + QStringLiteral("   ") + d.secondId);

    Edit13 = new QLineEdit(this);
    Edit13->setObjectName(QStringLiteral("Edit13"));
    Edit14 = new QLineEdit(this);
    Edit14->setObjectName(QStringLiteral("Edit14"));
    auto* selected = new QGroupBox(QStringLiteral("Selected Device"), this);
    selected->setObjectName(QStringLiteral("GroupBoxSelectedDevice"));
    auto* form = new QFormLayout(selected);
    form->addRow(QStringLiteral("IP Address"), Edit13);
    form->addRow(QStringLiteral("ID code"), Edit14);

    Button7 = makeButton(QStringLiteral("Button7"), QStringLiteral("Apply"), this);
    Button6 = makeButton(QStringLiteral("Button6"), QStringLiteral("Retrieve"), this);
    Button2 = makeButton(QStringLiteral("Button2"), QStringLiteral("Scan"), this);
    Button6->setEnabled(false);
    Button2->setEnabled(false);

    auto* left = new QVBoxLayout;
    left->addWidget(makeLabel(QStringLiteral("LabelDeviceList"), QStringLiteral("Device List"), this));
    left->addWidget(ListBox5);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button7);
    buttons->addWidget(Button6);
    buttons->addWidget(Button2);
    auto* right = new QVBoxLayout;
    right->addWidget(selected);
    right->addLayout(buttons);
    right->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);

    connect(Button7, &QPushButton::clicked, this, &DevicePage::Button7Click);
    connect(Button6, &QPushButton::clicked, this, &DevicePage::Button6Click);
    connect(Button2, &QPushButton::clicked, this, &DevicePage::Button2Click);
}

// "Apply": the selected line picks the recorder whose replies we read; the
// other of the pair receives every packet too.
void DevicePage::Button7Click() {
    main_.pollCycle().setLinkEnabled(true);
    const int k = selectedLine(ListBox5);
    const DevicePair& d = main_.devices();
    UdpTransport& t = main_.transport();
    if (k == 1 && !d.single) {
        Edit13->setText(d.second);
        Edit14->setText(d.secondId);
        t.endpoint(1).host = Edit13->text();
        t.endpoint(2).host = d.first;
    } else {
        Edit13->setText(d.first);
        Edit14->setText(d.firstId);
        t.endpoint(1).host = Edit13->text();
        t.endpoint(2).host = d.second;
    }
    for (int i : {1, 2}) {
        t.endpoint(i).port = kDevicePort;
        t.endpoint(i).broadcast = false;
    }
    main_.pollCycle().setSecondEndpointUsed(!d.single);
    main_.queue(Packet::frame(Group::System, Sys::LinkStart));
    main_.transportPanel()->setEnabled(true);
    main_.ProgressBar1()->setEnabled(true);
}

// "Retrieve": 512 blank lines per list, then the whole list refresh, queued so
// that it goes out sequence headers first and cue entries last.
void DevicePage::Button6Click() {
    const QStringList blanks(512, QStringLiteral(" "));
    main_.clipListPanel()->ListBox1->addItems(blanks);
    main_.fileListPanel()->ListBox2->addItems(blanks);
    main_.cueGroup()->ListBox4->addItems(blanks);

    MediaTables& m = main_.tables();
    // The file table has 512 rows; a larger count asks for those only.
    const int files = std::min(m.recordedFileCount, kTableSize);
    m.cueCount = 0;
    for (int i = 0; i < 100; ++i) main_.queue(entryRequest(Sense::CueEntry, i));
    m.clipCount = 0;
    for (int i = 0; i < 100; ++i) main_.queue(entryRequest(Sense::ClipEntry, i));
    for (int i = 1; i <= files; ++i) main_.queue(entryRequest(Sense::FileName, i));
    for (int i = 1; i <= files; ++i) main_.queue(entryRequest(Sense::Inhibit, i));
    for (int s = 0; s < kSequenceCount; ++s)
        main_.queue(Packet::frame(Group::Sense, Sense::SequenceHeader, {static_cast<std::uint8_t>(s)}));

    main_.clipListPanel()->setEnabled(true);
    main_.fileListPanel()->setEnabled(true);
    main_.cueGroup()->setEnabled(true);
}

// "Scan": forget the found devices and stop the link until the next "Apply".
void DevicePage::Button2Click() {
    main_.foundDeviceCount = 0;
    main_.pollCycle().setLinkEnabled(false);
}

void DevicePage::addDiscoveredDevice(const QString& senderAddress) {
    const int n = main_.foundDeviceCount;
    if (n >= kMaxDeviceLines) return;
    replaceLine(ListBox5, n, senderAddress);
    main_.foundDeviceCount = n + 1;
}

}  // namespace qz7
