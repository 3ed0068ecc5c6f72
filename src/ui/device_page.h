// The "Device" page: the device list, the selected device, "Apply",
// "Retrieve" (the list refresh) and "Scan".
#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace qz7 {

class TForm1;

class DevicePage : public QWidget {
    Q_OBJECT
public:
    DevicePage(TForm1& main, QWidget* parent);

    // A discovery datagram from sender: the next device list line.
    void addDiscoveredDevice(const QString& senderAddress);

    QListWidget* ListBox5;  // "Device List"
    QLineEdit* Edit13;      // "IP Address"
    QLineEdit* Edit14;      // "ID code"
    QPushButton* Button7;   // "Apply"
    QPushButton* Button6;   // "Retrieve"
    QPushButton* Button2;   // "Scan"

    // The device list stops growing here, whoever sends discovery datagrams.
    static constexpr int kMaxDeviceLines = 64;

public slots:
    void Button7Click();
    void Button6Click();
    void Button2Click();

private:
    TForm1& main_;
};

}  // namespace qz7
