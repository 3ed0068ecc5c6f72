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

#include "link/commands.h"
#include "media/media_model.h"
#include "net/recorder_link.h"
#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

DevicePage::DevicePage(RecorderLink& link, MediaModel& media, QWidget* parent)
    : QWidget(parent), link_(link), media_(media) {
    setObjectName(QStringLiteral("TabSheet11"));
    const DevicePair& d = link.devices();

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

    onSignal(Button7, &QPushButton::clicked, this, &DevicePage::Button7Click);
    onSignal(Button6, &QPushButton::clicked, this, &DevicePage::Button6Click);
    onSignal(Button2, &QPushButton::clicked, this, &DevicePage::Button2Click);
}

// "Apply": the selected line picks the recorder whose replies we read; the
// other of the pair receives every packet too.
void DevicePage::Button7Click() {
    const int k = selectedLine(ListBox5);
    const DevicePair& d = link_.devices();
    const bool second = k == 1 && !d.single;
    Edit13->setText(second ? d.second : d.first);
    Edit14->setText(second ? d.secondId : d.firstId);
    link_.apply(Edit13->text(), second ? d.first : d.second);
    emit applied();
}

// "Retrieve": 512 blank lines per list, then the whole list refresh, queued so
// that it goes out sequence headers first and cue entries last.
void DevicePage::Button6Click() {
    const int bottom = link_.commandStack().count();
    const int files = media_.beginRetrieve();
    for (int i = 0; i < MediaModel::kRetrievedEntries; ++i) link_.queue(cmd::entryRequest(Sense::CueEntry, i));
    for (int i = 0; i < MediaModel::kRetrievedEntries; ++i) link_.queue(cmd::entryRequest(Sense::ClipEntry, i));
    for (int i = 1; i <= files; ++i) link_.queue(cmd::entryRequest(Sense::FileName, i));
    for (int i = 1; i <= files; ++i) link_.queue(cmd::entryRequest(Sense::Inhibit, i));
    for (int s = 0; s < kSequenceCount; ++s) link_.queue(cmd::sequenceHeaderRequest(s));
    emit retrieveQueued(bottom, link_.commandStack().count());
}

// "Scan": forget the found devices and stop the link until the next "Apply".
void DevicePage::Button2Click() {
    foundDeviceCount = 0;
    link_.stop();
}

void DevicePage::addDiscoveredDevice(const QString& senderAddress) {
    const int n = foundDeviceCount;
    if (n >= kMaxDeviceLines) return;
    replaceLine(ListBox5, n, senderAddress);
    foundDeviceCount = n + 1;
}

}  // namespace qz7
