#include "ui/forms.h"

#include "ui/confirmation_dialog.h"
#include "ui/cue_edit_dialog.h"
#include "ui/file_name_dialog.h"
#include "ui/last_file_erase_dialog.h"
#include "ui/main_window.h"
#include "ui/media_lists.h"
#include "ui/schedule_window.h"

namespace qz7 {

Forms::Forms(Deck& deck) : deck_(deck) {
    mainWindow_ = std::make_unique<MainWindow>(*this);
    scheduleWindow_ = std::make_unique<ScheduleWindow>(deck_.media(), mainWindow_.get());
    fileNameDialog_ = std::make_unique<FileNameDialog>(mainWindow_.get());
    lastFileEraseDialog_ = std::make_unique<LastFileEraseDialog>(mainWindow_.get());
    confirmationDialog_ = std::make_unique<ConfirmationDialog>(mainWindow_.get());
    cueEditDialog_ = std::make_unique<CueEditDialog>(mainWindow_.get());

    lists_ = std::make_unique<MediaLists>();
    mainWindow_->showMediaLists(*lists_);
    lists_->show(MediaList::ScheduleClips, scheduleWindow_->clipList);
    deck_.setMediaObserver(lists_.get());
}

// The dialogs go before the main window they belong to; the model stops
// reporting before the lists go.
Forms::~Forms() {
    deck_.setMediaObserver(nullptr);
    cueEditDialog_.reset();
    confirmationDialog_.reset();
    lastFileEraseDialog_.reset();
    fileNameDialog_.reset();
    scheduleWindow_.reset();
    mainWindow_.reset();
}

}  // namespace qz7
