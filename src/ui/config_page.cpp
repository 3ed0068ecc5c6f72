#include "ui/config_page.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/confirmation_dialog.h"
#include "ui/forms.h"
#include "ui/main_window.h"
#include "ui/radio_group.h"
#include "ui/widgets.h"

namespace qz7 {

ConfigPage::ConfigPage(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("TabSheet10"));
    RadioGroup2 = new RadioGroup(QStringLiteral("RadioGroup2"), QStringLiteral("HDD Configuration"),
                                 {QStringLiteral("RAID 0"), QStringLiteral("RAID 1 (Mirroring)")}, 0, this);
    Button9 = makeButton(QStringLiteral("Button9"), QStringLiteral("HDD ERASE"), this);

    auto* row = new QHBoxLayout;
    row->addWidget(RadioGroup2, 0, Qt::AlignTop);
    row->addWidget(Button9, 0, Qt::AlignBottom);
    row->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addStretch();

    connect(Button9, &QPushButton::clicked, this, &ConfigPage::Button9Click);
}

// "HDD ERASE": erases every disk, so only an explicit "OK" of this very
// question counts; a stale answer left by another dialog must not.
void ConfigPage::Button9Click() {
    main_.confirmationAnswer = 0;
    if (main_.forms().form5()->ask() == 0) return;
    main_.queue(Packet::frame(Group::System, Sys::EraseDisks, {static_cast<std::uint8_t>(RadioGroup2->itemIndex())}));
    main_.confirmationAnswer = 0;
}

}  // namespace qz7
