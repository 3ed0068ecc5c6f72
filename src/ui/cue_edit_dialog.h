// "CUE Edit": changes a cue's position and name. edit() fills the
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

class CueEditDialog : public QDialog {
    Q_OBJECT
public:
    explicit CueEditDialog(QWidget* parent);

    // Shows a cue's position and name; empty after Cancel.
    std::optional<CueEdit> edit(const CueEntry& cue);

    QLabel* positionCaptionLabel;
    QLineEdit* positionEdit;  // hh:mm:ss:ff
    QLabel* nameCaptionLabel;
    QLineEdit* nameEdit;
    QPushButton* okButton;
    QPushButton* cancelButton;

public slots:
    void acceptEdit();
    void cancel();
    // Escape and the window's close button count as Cancel.
    void reject() override;

private:
    std::optional<CueEdit> result_;
};

}  // namespace qz7
