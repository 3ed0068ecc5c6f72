#include "ui/forms.h"

#include "ui/confirmation_dialog.h"
#include "ui/cue_edit_dialog.h"
#include "ui/file_name_dialog.h"
#include "ui/last_file_erase_dialog.h"
#include "ui/main_window.h"
#include "ui/schedule_window.h"

namespace qz7 {

Forms::Forms(const DevicePair& devices) {
    form1_ = std::make_unique<TForm1>(*this, devices);
    form2_ = std::make_unique<TForm2>(*form1_);
    form3_ = std::make_unique<TForm3>(*form1_);
    form4_ = std::make_unique<TForm4>(*form1_);
    form5_ = std::make_unique<TForm5>(*form1_);
    form6_ = std::make_unique<TForm6>(*form1_);
}

// The dialogs go before the main window they refer to.
Forms::~Forms() {
    form6_.reset();
    form5_.reset();
    form4_.reset();
    form3_.reset();
    form2_.reset();
    form1_.reset();
}

}  // namespace qz7
