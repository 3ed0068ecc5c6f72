// The "  Video  " page: compression quality, ANC, output phase.
#pragma once

#include <QWidget>

namespace qz7 {

class TForm1;

class VideoPage : public QWidget {
    Q_OBJECT
public:
    VideoPage(TForm1& main, QWidget* parent);

private:
    TForm1& main_;
};

}  // namespace qz7
