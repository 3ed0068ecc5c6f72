#include "ui/config_page.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/confirmation_dialog.h"
#include "ui/forms.h"
#include "deck/deck.h"
#include "ui/handler.h"
#include "ui/radio_group.h"
#include "ui/widgets.h"

namespace qz7 {

ConfigPage::ConfigPage(Deck& deck, Forms& forms, QWidget* parent)
    : QWidget(parent), deck_(deck), forms_(forms) {
    setObjectName(QStringLiteral("TabSheet10"));
    diskConfigurationGroup = new RadioGroup(QStringLiteral("RadioGroup2"), QStringLiteral("HDD Configuration"),
                                 {QStringLiteral("RAID 0"), QStringLiteral("RAID 1 (Mirroring)")}, 0, this);
    eraseDisksButton = makeButton(QStringLiteral("Button9"), QStringLiteral("HDD ERASE"), this);

    auto* row = new QHBoxLayout;
    row->addWidget(diskConfigurationGroup, 0, Qt::AlignTop);
    row->addWidget(eraseDisksButton, 0, Qt::AlignBottom);
    row->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addStretch();

    onSignal(eraseDisksButton, &QPushButton::clicked, this, &ConfigPage::eraseDisks);
}

// "HDD ERASE": erases every disk, so only an explicit "OK" of this very
// question counts; a stale answer left by another dialog must not.
void ConfigPage::eraseDisks() {
    const QString what = QStringLiteral("Erase all disks as %1 %2")
                             .arg(diskConfigurationGroup->items().value(diskConfigurationGroup->itemIndex()), onHosts(deck_.targetHosts()));
    if (!forms_.confirmationDialog()->ask(what)) return;
    act(deck_.eraseDisks(diskConfigurationGroup->itemIndex(), Origin::panel()));
}

}  // namespace qz7
