// The "Device" page: the device list, the selected device, "Apply",
// "Retrieve" (the list refresh) and "Scan".
#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace qz7 {

class Deck;

class DevicePage : public QWidget {
    Q_OBJECT
public:
    DevicePage(Deck& deck, QWidget* parent);

    // A device announced itself: line `line` of the device list shows it.
    void showDiscoveredDevice(int line, const QString& senderAddress);

    QListWidget* ListBox5;  // "Device List"
    QLineEdit* Edit13;      // "IP Address"
    QLineEdit* Edit14;      // "ID code"
    QPushButton* Button7;   // "Apply"
    QPushButton* Button6;   // "Retrieve"
    QPushButton* Button2;   // "Scan"

signals:
    // "Retrieve" has queued the list refresh: the lists may be used.
    void retrieveQueued();

public slots:
    void Button7Click();
    void Button6Click();
    void Button2Click();

private:
    Deck& deck_;
};

}  // namespace qz7
