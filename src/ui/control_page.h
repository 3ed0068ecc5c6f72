// The "Control" page: record mode, intermittent rate, playback mode,
// preroll time, still mode.
#pragma once

#include <QWidget>

namespace qz7 {

class TForm1;

class ControlPage : public QWidget {
    Q_OBJECT
public:
    ControlPage(TForm1& main, QWidget* parent);

    // The "Preroll time" field (MaskEdit10) as it shows, read by Cue.
    QString prerollText() const;

private:
    TForm1& main_;
};

}  // namespace qz7
