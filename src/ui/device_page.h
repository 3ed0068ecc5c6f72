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

    QListWidget* deviceList;
    QLineEdit* addressEdit;  // "IP Address"
    QLineEdit* idCodeEdit;  // "ID code"
    QPushButton* applyButton;
    QPushButton* retrieveButton;
    QPushButton* scanButton;

signals:
    // "Retrieve" has queued the list refresh: the lists may be used.
    void retrieveQueued();

public slots:
    void apply();
    void retrieve();
    void scan();

private:
    Deck& deck_;
};

}  // namespace qz7
