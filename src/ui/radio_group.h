// A captioned group of radio buttons with an item index, like the recorder
// pages show them. Operator clicks emit clicked(). A value set from a reply
// goes through setFromReply(), which does nothing when unchanged, clamps an
// index past the last item to the last item, and otherwise behaves exactly
// like an operator click (clicked() is emitted).
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

class QCheckBox;

namespace qz7 {

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    // columns: buttons per row (1 = one column).
    RadioGroup(const QString& objectName, const QString& caption, const QStringList& items, int initialIndex,
               QWidget* parent = nullptr, int columns = 1);

    int itemIndex() const;
    int count() const { return static_cast<int>(buttons_.buttons().size()); }
    QStringList items() const { return items_; }
    // Selects without running the click action (layout defaults, program state).
    void setItemIndex(int index);
    // The reply rule: unchanged does nothing; past the end means the last
    // item; a change runs the click action.
    void setFromReply(int index);
    // Test and keyboard access: the button of item i.
    QAbstractButton* button(int index) const;

signals:
    void clicked();

private:
    QButtonGroup buttons_;
    QStringList items_;
    int lastIndex_ = -1;
};

// The same rule for a check box: a change from a reply runs its click action.
void setCheckedFromReply(QCheckBox* box, bool checked);

}  // namespace qz7
