#include "ui/forms.h"

#include "ui/confirmation_dialog.h"
#include "ui/cue_edit_dialog.h"
#include "ui/file_name_dialog.h"
#include "ui/last_file_erase_dialog.h"
#include "ui/main_window.h"
#include "ui/media_lists.h"
#include "ui/schedule_window.h"

namespace qz7 {

Forms::Forms(const DevicePair& devices, LinkTiming timing)
    : deck_(std::make_unique<Deck>(devices, timing)) {
    form1_ = std::make_unique<TForm1>(*this);
    form2_ = std::make_unique<TForm2>(deck_->media(), form1_.get());
    form3_ = std::make_unique<TForm3>(form1_.get());
    form4_ = std::make_unique<TForm4>(form1_.get());
    form5_ = std::make_unique<TForm5>(form1_.get());
    form6_ = std::make_unique<TForm6>(form1_.get());

    lists_ = std::make_unique<MediaLists>();
    form1_->showMediaLists(*lists_);
    lists_->show(MediaList::ScheduleClips, form2_->ListBox1);
    deck_->setMediaObserver(lists_.get());
}

// The dialogs go before the main window they belong to; the model stops
// reporting before the lists go.
Forms::~Forms() {
    deck_->setMediaObserver(nullptr);
    form6_.reset();
    form5_.reset();
    form4_.reset();
    form3_.reset();
    form2_.reset();
    form1_.reset();
}

}  // namespace qz7
