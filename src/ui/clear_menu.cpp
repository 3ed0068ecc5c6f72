// The "Clear" menu: "Clear Cue", "Clear Clip", "Clear Seq ", each after the
// "Confirmation" dialog. Each wipes the table and its lists here, then sends
// one command; the recorder's lists are not asked for again.
#include <QListWidget>

#include "ui/clip_list_panel.h"
#include "ui/confirmation_dialog.h"
#include "ui/cue_group.h"
#include "ui/forms.h"
#include "ui/main_window.h"
#include "ui/schedule_window.h"
#include "ui/sequence_page.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {
// Only an OK given now counts: an answer left over from an earlier question
// must not confirm this one.
bool confirmed(TForm1& main) {
    main.confirmationAnswer = 0;
    return main.forms().form5()->ask() != 0;
}
}  // namespace

void TForm1::ClearCueList1Click() {
    if (!confirmed(*this)) return;
    // Ascending, so a list shorter than the table grows to 512 lines.
    for (int k = 0; k < kTableSize; ++k) {
        replaceLine(cueGroup_->ListBox4, k, kBlankLine);
        tables_.cues[static_cast<std::size_t>(k)] = CueEntry();
    }
    tables_.cueCount = 0;
    queue(Packet::frame(Group::Operate, Op::ClearCues));
    confirmationAnswer = 0;
}

void TForm1::ClearClipList1Click() {
    if (!confirmed(*this)) return;
    QListWidget* sequenceClips = forms_.form2()->ListBox1;
    for (int k = 0; k < kTableSize; ++k) {
        replaceLine(clipList_->ListBox1, k, kBlankLine);
        replaceLine(sequenceClips, k, kBlankLine);
        tables_.clips[static_cast<std::size_t>(k)] = ClipEntry();
    }
    tables_.clipCount = 0;
    queue(Packet::frame(Group::Operate, Op::ClearClips));
    confirmationAnswer = 0;
}

void TForm1::ClearSeq1Click() {
    if (!confirmed(*this)) return;
    for (int s = 0; s < kSequenceCount; ++s) {
        replaceLine(sequencePage_->ListBox3, s, kBlankLine);
        tables_.sequences[static_cast<std::size_t>(s)].clear();
    }
    queue(Packet::frame(Group::Operate, Op::ClearSequences));
    confirmationAnswer = 0;
}

}  // namespace qz7
