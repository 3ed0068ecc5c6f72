#include "ui/settings_sheet.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "deck/deck.h"
#include "deck/deck_settings.h"
#include "ui/handler.h"
#include "ui/radio_group.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {

// The deck's signal that reports each kind of page.
template <typename T>
struct Reports;
template <>
struct Reports<TimecodeSettings> {
    static constexpr auto signal = &DeckSettings::timecodeReported;
};
template <>
struct Reports<GenlockSettings> {
    static constexpr auto signal = &DeckSettings::genlockReported;
};
template <>
struct Reports<TestSignalSettings> {
    static constexpr auto signal = &DeckSettings::testSignalReported;
};
template <>
struct Reports<AudioSettings> {
    static constexpr auto signal = &DeckSettings::audioReported;
};
template <>
struct Reports<VideoSettings> {
    static constexpr auto signal = &DeckSettings::videoReported;
};
template <>
struct Reports<ControlSettings> {
    static constexpr auto signal = &DeckSettings::controlReported;
};

// A masked field moves into a small framed group with its unit beside it.
QGroupBox* frame(QLineEdit* field, const QString& frameName, const QString& caption, const QString& unit,
                 QWidget* sheet) {
    auto* g = new QGroupBox(caption, sheet);
    g->setObjectName(frameName);
    field->setParent(g);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    auto* l = new QHBoxLayout(g);
    l->addWidget(field);
    l->addWidget(makeLabel(frameName + QStringLiteral("Unit"), unit, g));
    l->addStretch();
    return g;
}

struct Placed {
    SheetPlace place;
    QWidget* widget;
};

// One row of columns above the page's free space.
void arrange(QWidget* sheet, std::vector<Placed> placed, bool trailingStretch) {
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        return a.place.column != b.place.column ? a.place.column < b.place.column : a.place.order < b.place.order;
    });
    auto* row = new QHBoxLayout;
    for (auto first = placed.begin(); first != placed.end();) {
        const auto last = std::find_if(first, placed.end(),
                                       [column = first->place.column](const Placed& p) { return p.place.column != column; });
        if (last - first == 1) {
            row->addWidget(first->widget, 0, first->place.align);
        } else {
            auto* column = new QVBoxLayout;
            bool stretched = false;
            for (auto p = first; p != last; ++p) {
                if (p->place.stretchBefore) {
                    column->addStretch();
                    stretched = true;
                }
                column->addWidget(p->widget, 0, p->place.align);
            }
            if (!stretched) column->addStretch();
            row->addLayout(column);
        }
        first = last;
    }
    if (trailingStretch) row->addStretch();
    auto* layout = new QVBoxLayout(sheet);
    layout->addLayout(row);
    layout->addStretch();
}

}  // namespace

template <typename T>
SettingsSheet<T>::SettingsSheet(Deck& deck, const QString& sheetName, const std::vector<Row>& rows,
                                bool trailingStretch, QWidget* parent)
    : QWidget(parent), deck_(deck) {
    setObjectName(sheetName);
    std::vector<Placed> placed;
    for (const Row& r : rows) {
        QWidget* w = nullptr;
        switch (r.kind) {
        case Row::Radio: {
            auto* group = new RadioGroup(r.name, r.caption, r.items, r.initial, this, r.columns);
            if (r.shows) bound_.push_back({group, r.shows, r.answers});
            w = group;
            break;
        }
        case Row::Field: w = makeMaskedEdit(r.name, r.mask, r.text, this); break;
        case Row::Button: w = makeButton(r.name, r.caption, this); break;
        case Row::Group: w = r.make(this); break;
        }
        placed.push_back({r.place, w});
    }
    // Frames come last among the page's children, after the table's controls.
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& r = rows[i];
        if (r.kind == Row::Field)
            placed[i].widget = frame(static_cast<QLineEdit*>(placed[i].widget), r.frameName, r.caption, r.unit, this);
    }
    arrange(this, std::move(placed), trailingStretch);
    onSignal(&deck.settings(), Reports<T>::signal, this,
             [this](const T& value, SettingsFields fields) { reported(value, fields); });
}

template <typename T>
RadioGroup* SettingsSheet<T>::radio(const QString& name) const {
    return findChild<RadioGroup*>(name);
}

template <typename T>
QLineEdit* SettingsSheet<T>::field(const QString& name) const {
    return findChild<QLineEdit*>(name);
}

template <typename T>
QPushButton* SettingsSheet<T>::button(const QString& name) const {
    return findChild<QPushButton*>(name);
}

template <typename T>
T SettingsSheet<T>::selected(T base) const {
    for (const Bound& b : bound_) base.*b.shows = b.group->itemIndex();
    return base;
}

template <typename T>
void SettingsSheet<T>::write(const T& value) {
    act(deck_.settings().write(value, Origin::panel()));
}

template <typename T>
void SettingsSheet<T>::reported(const T& value, SettingsFields fields) {
    for (const Bound& b : bound_)
        if (fields & b.answers) b.group->setFromReply(value.*b.shows);
}

template class SettingsSheet<TimecodeSettings>;
template class SettingsSheet<GenlockSettings>;
template class SettingsSheet<TestSignalSettings>;
template class SettingsSheet<AudioSettings>;
template class SettingsSheet<VideoSettings>;
template class SettingsSheet<ControlSettings>;

}  // namespace qz7
