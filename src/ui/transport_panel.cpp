#include "ui/transport_panel.h"

#include "ui/main_window.h"

namespace qz7 {

TransportPanel::TransportPanel(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("Panel7"));
}

}  // namespace qz7
