#include "ui/radio_group.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QRadioButton>

namespace qz7 {

RadioGroup::RadioGroup(const QString& objectName, const QString& caption, const QStringList& items,
                       int initialIndex, QWidget* parent, int columns)
    : QGroupBox(caption, parent), items_(items) {
    setObjectName(objectName);
    auto* layout = new QGridLayout(this);
    if (columns < 1) columns = 1;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setObjectName(QStringLiteral("%1_%2").arg(objectName).arg(i));
        buttons_.addButton(b, i);
        layout->addWidget(b, i / columns, i % columns);
    }
    buttons_.setExclusive(true);
    setItemIndex(initialIndex);
    // Like the operator's radio groups always did: clicking the item that is
    // already selected is no change and runs no action.
    connect(&buttons_, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == lastIndex_) return;
        lastIndex_ = id;
        emit clicked();
    });
}

int RadioGroup::itemIndex() const { return buttons_.checkedId(); }

void RadioGroup::setItemIndex(int index) {
    if (auto* b = buttons_.button(index)) {
        b->setChecked(true);
        lastIndex_ = index;
    }
}

void RadioGroup::setFromReply(int index) {
    if (count() == 0) return;
    if (index >= count()) index = count() - 1;
    if (index < 0) index = 0;
    if (index == itemIndex()) return;
    setItemIndex(index);
    emit clicked();
}

QAbstractButton* RadioGroup::button(int index) const { return buttons_.button(index); }

void setCheckedFromReply(QCheckBox* box, bool checked) {
    if (box->isChecked() == checked) return;
    box->setChecked(checked);
    emit box->clicked(checked);
}

}  // namespace qz7
