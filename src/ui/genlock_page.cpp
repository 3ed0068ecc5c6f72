#include "ui/genlock_page.h"

#include <QPushButton>

#include "ui/handler.h"

namespace qz7 {

namespace {
using Row = SheetRow<GenlockSettings>;

const std::vector<Row>& rows() {
    using T = GenlockSettings;
    static const std::vector<Row> table{
        Row::radio(QStringLiteral("RadioGroup7"), QStringLiteral("Genlock source"),
                   {QStringLiteral("AUTO"), QStringLiteral("EXT"), QStringLiteral("VIDEO IN"), QStringLiteral("Internal")},
                   0, &T::source, T::Source, {0, 0, Qt::AlignTop}),
        Row::radio(QStringLiteral("RadioGroup20"), QStringLiteral("Fixed Standard"),
                   {QStringLiteral("OFF"), QStringLiteral("1080/59.94i")}, 0, &T::fixedStandard, T::FixedStandard,
                   {1, 0, Qt::AlignTop}),
        Row::radio(QStringLiteral("RadioGroup21"), QStringLiteral("PSF mode"), {QStringLiteral("OFF"), QStringLiteral("ON")},
                   0, &T::psf, T::Psf, {2, 0, Qt::AlignTop}),
        Row::button(QStringLiteral("Button12"), QStringLiteral("SET"), {3, 0, Qt::AlignBottom}),
    };
    return table;
}
}  // namespace

GenlockPage::GenlockPage(Deck& deck, QWidget* parent)
    : SettingsSheet(deck, QStringLiteral("TabSheet2"), rows(), true, parent),
      sourceGroup(radio(QStringLiteral("RadioGroup7"))),
      fixedStandardGroup(radio(QStringLiteral("RadioGroup20"))),
      psfGroup(radio(QStringLiteral("RadioGroup21"))),
      setButton(button(QStringLiteral("Button12"))) {
    onSignal(setButton, &QPushButton::clicked, this, &GenlockPage::sendSettings);
}

// "SET": source, fixed standard and PSF mode, each an item index.
void GenlockPage::sendSettings() { write(selected()); }

}  // namespace qz7
