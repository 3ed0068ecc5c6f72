#include "ui/config_page.h"

#include <QVBoxLayout>

#include "ui/main_window.h"
#include "ui/radio_group.h"

namespace qz7 {

ConfigPage::ConfigPage(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("TabSheet10"));
    RadioGroup2 = new RadioGroup(QStringLiteral("RadioGroup2"), QStringLiteral("HDD Configuration"),
                                 {QStringLiteral("RAID 0"), QStringLiteral("RAID 1 (Mirroring)")}, 0, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RadioGroup2);
    layout->addStretch();
}

}  // namespace qz7
