// The "Clear" menu: "Clear Cue", "Clear Clip", "Clear Seq ", each after the
// "Confirmation" dialog.
#include "ui/main_window.h"

namespace qz7 {

void TForm1::ClearCueList1Click() {}
void TForm1::ClearClipList1Click() {}
void TForm1::ClearSeq1Click() {}

}  // namespace qz7
