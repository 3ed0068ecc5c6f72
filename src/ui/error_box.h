// The application's standard error box. Errors raised in a handler or a poll
// tick end that handler and land here. The box never stacks: while one is
// open, further errors are counted but not shown, so a dead network gives one
// box, not fifty a second. It does not block: the poll cycle keeps running.
#pragma once

#include <QPointer>
#include <QString>
#include <functional>

class QMessageBox;

namespace qz7 {

class ErrorBox {
public:
    static void show(const QString& message);
    // A program without windows reports errors elsewhere (stderr); empty
    // restores the box.
    static void setReporter(std::function<void(const QString&)> reporter);

    static bool isOpen();
    // Closes the open box, if any (tests, and the operator's OK).
    static void dismiss();
    static int shownCount();        // boxes opened
    static int suppressedCount();   // errors raised while a box was open
    static QString lastMessage();   // the message of the last box opened
    static void resetCounters();

private:
    static QPointer<QMessageBox> box_;
    static int shown_;
    static int suppressed_;
    static QString last_;
    static std::function<void(const QString&)> reporter_;
};

}  // namespace qz7
