// The one shape of the settings pages with a "SET" button: a tab sheet built
// from a table of its controls (radio groups, masked fields in their framed
// groups, buttons, and any group of the page's own), laid out left to right in
// columns. Each radio group shows one field of the page's settings value: SET
// writes what the groups select to the deck, and the deck's answers set the
// groups whose fields they carry, as an operator click would.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

#include "link/settings.h"

class QLineEdit;
class QPushButton;

namespace qz7 {

class Deck;
class RadioGroup;

// Where a control sits: its column (left to right) and its place in the
// column (top to bottom). A control alone in its column sits in the row
// itself with its alignment; a column of several stacks them and leaves its
// free space at the bottom, or above the control marked `stretchBefore`.
struct SheetPlace {
    int column = 0;
    int order = 0;
    Qt::Alignment align = {};
    bool stretchBefore = false;
};

// One control of a sheet, in the order the sheet makes them.
template <typename T>
struct SheetRow {
    enum Kind { Radio, Field, Button, Group };
    Kind kind = Radio;
    QString name;      // objectName
    QString caption;   // the group's or the button's caption
    SheetPlace place;
    // Radio: its items, the item selected at start, buttons per row, and the
    // field of the value it shows with the answer field that sets it.
    QStringList items;
    int initial = 0;
    int columns = 1;
    int T::*shows = nullptr;
    SettingsFields answers = 0;
    // Field: its edit mask and text at start, in a small framed group named
    // `frameName` (captioned `caption`) with its unit beside it.
    QString mask, text, frameName, unit;
    // Group: a group of the page's own, made at this point.
    std::function<QWidget*(QWidget* sheet)> make;

    static SheetRow radio(QString name, QString caption, QStringList items, int initial, int T::*field,
                          SettingsFields answers, SheetPlace place, int columns = 1) {
        SheetRow r;
        r.kind = Radio;
        r.name = std::move(name);
        r.caption = std::move(caption);
        r.items = std::move(items);
        r.initial = initial;
        r.shows = field;
        r.answers = answers;
        r.place = place;
        r.columns = columns;
        return r;
    }
    static SheetRow field(QString name, QString mask, QString text, QString frameName, QString frameCaption,
                          QString unit, SheetPlace place) {
        SheetRow r;
        r.kind = Field;
        r.name = std::move(name);
        r.mask = std::move(mask);
        r.text = std::move(text);
        r.frameName = std::move(frameName);
        r.caption = std::move(frameCaption);
        r.unit = std::move(unit);
        r.place = place;
        return r;
    }
    static SheetRow button(QString name, QString caption, SheetPlace place) {
        SheetRow r;
        r.kind = Button;
        r.name = std::move(name);
        r.caption = std::move(caption);
        r.place = place;
        return r;
    }
    static SheetRow group(QString name, std::function<QWidget*(QWidget* sheet)> make, SheetPlace place) {
        SheetRow r;
        r.kind = Group;
        r.name = std::move(name);
        r.make = std::move(make);
        r.place = place;
        return r;
    }
};

// T is the page's settings value (TimecodeSettings, AudioSettings, ...).
template <typename T>
class SettingsSheet : public QWidget {
public:
    using Row = SheetRow<T>;

protected:
    // Makes the controls in table order, lays them out, and redraws from the
    // deck's answers for this page. With trailingStretch the row ends in free
    // space; without it the last column takes the rest of the row.
    SettingsSheet(Deck& deck, const QString& sheetName, const std::vector<Row>& rows, bool trailingStretch,
                  QWidget* parent);

    Deck& deck() const { return deck_; }
    // The controls the table made, by name.
    RadioGroup* radio(const QString& name) const;
    QLineEdit* field(const QString& name) const;
    QPushButton* button(const QString& name) const;

    // The value the radio groups select; the fields they do not show as in `base`.
    T selected(T base = {}) const;
    // SET: the value to the recorder, from the panel.
    void write(const T& value);
    // An answer: the groups of the fields it set, each as a reply sets a
    // control. A page with other controls to set from answers adds them here.
    virtual void reported(const T& value, SettingsFields fields);

private:
    struct Bound {
        RadioGroup* group;
        int T::*shows;
        SettingsFields answers;
    };
    Deck& deck_;
    std::vector<Bound> bound_;
};

}  // namespace qz7
