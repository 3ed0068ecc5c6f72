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

DevicePage::DevicePage(Deck& deck, QWidget* parent) : QWidget(parent), deck_(deck) {
    setObjectName(QStringLiteral("TabSheet11"));
    const DevicePair& d = deck.devices();

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
    // "Retrieve" goes once a recorder answered, and not while its burst is going out.
    connect(&deck_, &Deck::retrieveAvailableChanged, Button6, &QPushButton::setEnabled);
    connect(&deck_, &Deck::applied, this, [this] {
        Edit13->setText(deck_.selectedHost());
        Edit14->setText(deck_.selectedId());
    });
}

// "Apply": the selected line picks the recorder whose replies we read; the
// other of the pair receives every packet too.
void DevicePage::Button7Click() { act(deck_.apply(selectedLine(ListBox5), Origin::panel())); }

// "Retrieve": blank lists, then the whole list refresh.
void DevicePage::Button6Click() {
    const Outcome outcome = deck_.retrieve(Origin::panel());
    act(outcome);
    if (outcome.queued()) emit retrieveQueued();
}

// "Scan": forget the found devices and stop the link until the next "Apply".
void DevicePage::Button2Click() { act(deck_.scan(Origin::panel())); }

void DevicePage::showDiscoveredDevice(int line, const QString& senderAddress) {
    replaceLine(ListBox5, line, senderAddress);
}

}  // namespace qz7
