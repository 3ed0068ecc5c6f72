#include "app/application.h"

#include <exception>

#include "ui/error_box.h"

namespace qz7 {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("QZ7Cont"));
    // No display name: Qt would append it to every window caption.
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ErrorBox::show(QString::fromUtf8(e.what()));
    } catch (...) {
        ErrorBox::show(QString());
    }
    return true;
}

}  // namespace qz7
