// Each entry wipes the table and its lists here, then sends one command; the
// recorder's lists are not asked for again.
#include "ui/clear_menu.h"

#include "deck/deck.h"
#include "ui/confirmation_dialog.h"
#include "ui/file_list_panel.h"
#include "ui/forms.h"
#include "ui/handler.h"

namespace qz7 {

ClearMenu::ClearMenu(Deck& deck, Forms& forms, FileListPanel& files, QWidget* parent)
    : QMenu(QStringLiteral("Clear"), parent), deck_(deck), forms_(forms) {
    setObjectName(QStringLiteral("List1"));
    auto action = [this](const char* name, const QString& caption) {
        QAction* a = addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    onSignal(action("ClearCueList1", QStringLiteral("Clear Cue")), &QAction::triggered, this,
             &ClearMenu::clearCues);
    onSignal(action("ClearClipList1", QStringLiteral("Clear Clip")), &QAction::triggered, this,
             &ClearMenu::clearClips);
    onSignal(action("ClearSeq1", QStringLiteral("Clear Seq ")), &QAction::triggered, this, &ClearMenu::clearSequences);
    onSignal(action("LastFileErase2", QStringLiteral("Last File Erase")), &QAction::triggered, &files,
             &FileListPanel::eraseLastFile);
}

bool ClearMenu::confirm(const QString& what) {
    return forms_.confirmationDialog()->ask(what + QLatin1Char(' ') + onHosts(deck_.targetHosts()));
}

void ClearMenu::clearCues() {
    if (!confirm(QStringLiteral("Clear all cue marks"))) return;
    act(deck_.clearCues(Origin::panel()));
}

void ClearMenu::clearClips() {
    if (!confirm(QStringLiteral("Clear all clips"))) return;
    act(deck_.clearClips(Origin::panel()));
}

void ClearMenu::clearSequences() {
    if (!confirm(QStringLiteral("Clear all sequences"))) return;
    act(deck_.clearSequences(Origin::panel()));
}

}  // namespace qz7
