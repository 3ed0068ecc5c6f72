// The application object. Any exception escaping an event handler, a slot or
// a timer tick is caught here, once for the whole program, and shown in the
// standard error box; the event loop then carries on with the next event.
#pragma once

#include <QApplication>

namespace qz7 {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace qz7
