// The "Test signal" page: video and audio test signal generator.
#pragma once

#include <QWidget>

namespace qz7 {

class TForm1;

class TestSignalPage : public QWidget {
    Q_OBJECT
public:
    TestSignalPage(TForm1& main, QWidget* parent);

private:
    TForm1& main_;
};

}  // namespace qz7
