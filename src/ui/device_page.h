// The "Device" page: the device list, the selected device, "Apply",
// "Retrieve" (the list refresh) and "Scan".
#pragma once

#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace qz7 {

class MediaModel;
class RecorderLink;

class DevicePage : public QWidget {
    Q_OBJECT
public:
    DevicePage(RecorderLink& link, MediaModel& media, QWidget* parent);

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

    // Lines of the device list filled by discovery datagrams since "Scan".
    int foundDeviceCount = 0;

signals:
    // "Apply" has queued the link start: the transport panel may be used.
    void applied();
    // "Retrieve" has queued the list refresh, stack slots bottom up to below
    // top: the lists may be used.
    void retrieveQueued(int bottom, int top);

public slots:
    void Button7Click();
    void Button6Click();
    void Button2Click();

private:
    RecorderLink& link_;
    MediaModel& media_;
};

}  // namespace qz7
