// TForm6, "CUE Edit": changes a cue's position and name. edit() fills the
// fields, shows the dialog and returns what OK took.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "media/media_tables.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace qz7 {


// What "CUE Edit" OK gives back.
struct CueEdit {
    Timecode position;
    std::string name;
};

// The four parts of a typed "hh:mm:ss:ff" position. Throws when a part holds
// anything but two digits: blanks would go out as bytes that are not BCD.
Timecode typedPosition(const QString& text);

class TForm6 : public QDialog {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent);

    // Shows a cue's position and name; empty after Cancel.
    std::optional<CueEdit> edit(const CueEntry& cue);

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
    std::optional<CueEdit> result_;
};

}  // namespace qz7
