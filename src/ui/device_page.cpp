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

#include "deck/deck.h"
#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {
QString deviceLine(const QString& address) {
    const QString id = knownIdCode(address);
    return id.isEmpty() ? address : address + QStringLiteral("   ") + id;
}
}  // namespace

DevicePage::DevicePage(Deck& deck, QWidget* parent) : QWidget(parent), deck_(deck) {
    setObjectName(QStringLiteral("TabSheet11"));
    const DevicePair& d = deck.devices();

    deviceList = new QListWidget(this);
    deviceList->setObjectName(QStringLiteral("ListBox5"));
    deviceList->addItem(deviceLine(d.first));
    if (!d.single) deviceList->addItem(deviceLine(d.second));

    addressEdit = new QLineEdit(this);
    addressEdit->setObjectName(QStringLiteral("Edit13"));
    idCodeEdit = new QLineEdit(this);
    idCodeEdit->setObjectName(QStringLiteral("Edit14"));
    auto* selected = new QGroupBox(QStringLiteral("Selected Device"), this);
    selected->setObjectName(QStringLiteral("GroupBoxSelectedDevice"));
    auto* form = new QFormLayout(selected);
    form->addRow(QStringLiteral("IP Address"), addressEdit);
    form->addRow(QStringLiteral("ID code"), idCodeEdit);

    applyButton = makeButton(QStringLiteral("Button7"), QStringLiteral("Apply"), this);
    retrieveButton = makeButton(QStringLiteral("Button6"), QStringLiteral("Retrieve"), this);
    scanButton = makeButton(QStringLiteral("Button2"), QStringLiteral("Scan"), this);
    retrieveButton->setEnabled(false);
    scanButton->setEnabled(false);

    auto* left = new QVBoxLayout;
    left->addWidget(makeLabel(QStringLiteral("LabelDeviceList"), QStringLiteral("Device List"), this));
    left->addWidget(deviceList);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(applyButton);
    buttons->addWidget(retrieveButton);
    buttons->addWidget(scanButton);
    auto* right = new QVBoxLayout;
    right->addWidget(selected);
    right->addLayout(buttons);
    right->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);

    onSignal(applyButton, &QPushButton::clicked, this, &DevicePage::apply);
    onSignal(retrieveButton, &QPushButton::clicked, this, &DevicePage::retrieve);
    onSignal(scanButton, &QPushButton::clicked, this, &DevicePage::scan);
    // "Retrieve" goes once a recorder answered, and not while its burst is going out.
    connect(&deck_, &Deck::retrieveAvailableChanged, retrieveButton, &QPushButton::setEnabled);
    connect(&deck_, &Deck::applied, this, [this] {
        addressEdit->setText(deck_.selectedHost());
        idCodeEdit->setText(deck_.selectedId());
    });
}

// "Apply": the selected line picks the recorder whose replies we read; the
// other of the pair receives every packet too.
void DevicePage::apply() { act(deck_.apply(selectedLine(deviceList), Origin::panel())); }

// "Retrieve": blank lists, then the whole list refresh.
void DevicePage::retrieve() {
    const Outcome outcome = deck_.retrieve(Origin::panel());
    act(outcome);
    if (outcome.queued()) emit retrieveQueued();
}

// "Scan": forget the found devices and stop the link until the next "Apply".
void DevicePage::scan() { act(deck_.scan(Origin::panel())); }

void DevicePage::showDiscoveredDevice(int line, const QString& senderAddress) {
    replaceLine(deviceList, line, senderAddress);
}

}  // namespace qz7
