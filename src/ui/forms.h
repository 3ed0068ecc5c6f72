// The six windows that show one deck, created once in a fixed order and kept
// for the whole run. The deck is handed in: whoever made it starts its poll
// cycle and keeps it longer than the windows.
#pragma once

#include <memory>

#include "deck/deck.h"

namespace qz7 {

class MediaLists;
class MainWindow;
class ScheduleWindow;
class FileNameDialog;
class LastFileEraseDialog;
class ConfirmationDialog;
class CueEditDialog;

class Forms {
public:
    explicit Forms(Deck& deck);
    virtual ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    Deck& deck() const { return deck_; }

    MainWindow* mainWindow() const { return mainWindow_.get(); }  // "QZ7pro-Controller"
    ScheduleWindow* scheduleWindow() const { return scheduleWindow_.get(); }  // "Sequence Play"
    FileNameDialog* fileNameDialog() const { return fileNameDialog_.get(); }  // "File Name Edit"
    LastFileEraseDialog* lastFileEraseDialog() const { return lastFileEraseDialog_.get(); }  // "Last file erase"
    ConfirmationDialog* confirmationDialog() const { return confirmationDialog_.get(); }  // "Confirmation"
    CueEditDialog* cueEditDialog() const { return cueEditDialog_.get(); }  // "CUE Edit"

private:
    Deck& deck_;
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<ScheduleWindow> scheduleWindow_;
    std::unique_ptr<FileNameDialog> fileNameDialog_;
    std::unique_ptr<LastFileEraseDialog> lastFileEraseDialog_;
    std::unique_ptr<ConfirmationDialog> confirmationDialog_;
    std::unique_ptr<CueEditDialog> cueEditDialog_;
    std::unique_ptr<MediaLists> lists_;
};

}  // namespace qz7
