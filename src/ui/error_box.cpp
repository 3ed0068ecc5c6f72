#include "ui/error_box.h"

#include <QApplication>
#include <QMessageBox>

namespace qz7 {

QPointer<QMessageBox> ErrorBox::box_;
int ErrorBox::shown_ = 0;
int ErrorBox::suppressed_ = 0;
QString ErrorBox::last_;
std::function<void(const QString&)> ErrorBox::reporter_;

void ErrorBox::setReporter(std::function<void(const QString&)> reporter) { reporter_ = std::move(reporter); }

void ErrorBox::show(const QString& message) {
    if (reporter_) {
        ++shown_;
        last_ = message;
        reporter_(message);
        return;
    }
    if (box_) {
        ++suppressed_;
        return;
    }
    ++shown_;
    last_ = message;
    auto* box = new QMessageBox(QMessageBox::Critical, QApplication::applicationDisplayName(), message,
                                QMessageBox::Ok);
    box->setObjectName(QStringLiteral("ErrorBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box_ = box;
    box->open();  // returns at once; the event loop goes on
}

bool ErrorBox::isOpen() { return !box_.isNull(); }

void ErrorBox::dismiss() {
    if (box_) {
        box_->close();
        box_ = nullptr;
    }
}

int ErrorBox::shownCount() { return shown_; }
int ErrorBox::suppressedCount() { return suppressed_; }
QString ErrorBox::lastMessage() { return last_; }

void ErrorBox::resetCounters() {
    shown_ = 0;
    suppressed_ = 0;
    last_.clear();
}

}  // namespace qz7
