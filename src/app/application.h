// The application object. Handlers catch their own errors (ui/handler.h);
// notify() keeps only a last-resort catch for anything that still escapes an
// event handler, so the program shows it instead of ending.
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
