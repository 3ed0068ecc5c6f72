#include "app/application.h"

#include <QFile>
#include <QIcon>
#include <exception>

#include "ui/error_box.h"

namespace qz7 {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("QZ7Cont"));
    // No display name: Qt would append it to every window caption.
    // Names the desktop entry, through which a Wayland desktop finds the icon.
    setDesktopFileName(QStringLiteral("qz7cont"));
    // The icon comes from the qz7cont executable's resources (src/app/icons.qrc);
    // a test program without them keeps Qt's default.
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QString file = QStringLiteral(":/icons/%1x%1/qz7cont.png").arg(size);
        if (QFile::exists(file)) icon.addFile(file, QSize(size, size));
    }
    if (!icon.isNull()) setWindowIcon(icon);
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
