// TForm6, "CUE Edit": changes a cue's position and name. The main window
// fills the fields before each showing; OK writes the cue table entry and
// sets the cue-edit answer.
#pragma once

#include <QDialog>

#include "media/media_tables.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace qz7 {

class TForm1;

// The four parts of a typed "hh:mm:ss:ff" position. Throws when a part holds
// anything but two digits: blanks would go out as bytes that are not BCD.
Timecode typedPosition(const QString& text);

class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(TForm1& main);

    // The cue table entry being edited.
    int entryIndex = 0;

    QLabel* Label1;        // "Position"
    QLineEdit* MaskEdit1;  // hh:mm:ss:ff
    QLabel* Label2;        // "Name"
    QLineEdit* Edit1;      // the cue name
    QPushButton* Button1;  // "OK"
    QPushButton* Button2;  // "Cancel"

public slots:
    void Button1Click();
    void Button2Click();
    // Escape and the window's close button count as Cancel.
    void reject() override;

private:
    TForm1& main_;
};

}  // namespace qz7
