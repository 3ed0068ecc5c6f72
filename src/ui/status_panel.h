// The black status panel (objectName "Panel4"): timecode, transport word, file/clip/
// sequence number, error line, standard, quality, reference.
#pragma once

#include <QLabel>
#include <QWidget>
#include <string>

namespace qz7 {

class Deck;

// A label that reports double-clicks (the error line).
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void doubleClicked();
protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

class StatusPanel : public QWidget {
    Q_OBJECT
public:
    StatusPanel(Deck& deck, QWidget* parent);

    // Values not live (no reply lately, or none since "Apply") are drawn dim,
    // texts unchanged, so nobody reads an old timecode as the recorder's.
    void setLive(bool live);
    bool isLive() const { return live_; }

    QLabel* hoursLabel;
    QLabel* minutesLabel;
    QLabel* secondsLabel;
    QLabel* framesLabel;
    QLabel* transportLabel;
    QLabel* numberCaptionLabel;  // "REC FILE :", "CLIP :", ...
    QLabel* numberLabel;
    QLabel* numberMarkerLabel;
    ClickableLabel* errorLineLabel;
    QLabel* standardLabel;
    QLabel* qualityLabel;
    QLabel* referenceLabel;

public slots:
    // Double-click on the error line while an error is reported: error reset.
    void resetError();

private:
    void showTimecode();
    void showStatus();
    void showErrorLine();
    void paintColours();

    Deck& deck_;
    bool live_ = false;
};

}  // namespace qz7
