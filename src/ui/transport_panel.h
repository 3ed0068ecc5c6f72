// The transport panel (Panel7): play, record, stop, wind, slow and jog, EE/PB.
#pragma once

#include <QWidget>

namespace qz7 {

class TForm1;

class TransportPanel : public QWidget {
    Q_OBJECT
public:
    TransportPanel(TForm1& main, QWidget* parent);

private:
    TForm1& main_;
};

}  // namespace qz7
