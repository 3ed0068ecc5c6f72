// The black status panel (Panel4): timecode, transport word, file/clip/
// sequence number, error line, standard, quality, reference.
#pragma once

#include <QLabel>
#include <QWidget>
#include <string>

#include "link/reply_decoder.h"

namespace qz7 {

class RecorderLink;

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
    StatusPanel(RecorderLink& link, QWidget* parent);

    // 1 while the recorder reports an error: one error text request per rising flag.
    int errorLatch = 0;
    // 1 after the Audio page was entered: the next status reply's audio bits
    // go to that page (audioReadback), once.
    int audioReadbackPending = 0;

    void applyTimecode(std::uint8_t frames, std::uint8_t seconds, std::uint8_t minutes, std::uint8_t hours);
    void applyStatus(const StatusReply& status);
    void applyErrorText(const std::string& text);

    // Values not live (no reply lately, or none since "Apply") are drawn dim,
    // texts unchanged, so nobody reads an old timecode as the recorder's.
    void setLive(bool live);
    bool isLive() const { return live_; }

    // The timecode display's texts, as IN, OUT and Mrk copy them.
    std::string hours() const;
    std::string minutes() const;
    std::string seconds() const;
    std::string frames() const;

    QLabel* Label3;         // hours
    QLabel* Label30;        // minutes
    QLabel* Label31;        // seconds
    QLabel* Label32;        // frames
    QLabel* Label4;         // transport word
    QLabel* Label37;        // number caption
    QLabel* Label40;        // number
    QLabel* Label25;        // number marker
    ClickableLabel* Label36;  // error line
    QLabel* Label7;         // video standard
    QLabel* Label11;        // quality
    QLabel* Label24;        // reference word

signals:
    void audioReadback(std::uint8_t byte23);
    // The transport word ("PLAY", "REC", "STOP", ...) now reads differently.
    void transportWordChanged(const QString& word);

public slots:
    // Double-click on the error line while an error is reported: error reset.
    void Label36DblClick();

private:
    void paintColours();

    RecorderLink& link_;
    bool live_ = false;
};

// The status tables, as the recorder's bytes select them.
QString standardText(std::uint8_t byte21);
QString qualityText(std::uint8_t byte22);

}  // namespace qz7
