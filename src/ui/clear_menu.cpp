// Each entry wipes the table and its lists here, then sends one command; the
// recorder's lists are not asked for again.
#include "ui/clear_menu.h"

#include "link/commands.h"
#include "media/media_model.h"
#include "net/recorder_link.h"
#include "ui/confirmation_dialog.h"
#include "ui/file_list_panel.h"
#include "ui/forms.h"
#include "ui/handler.h"

namespace qz7 {

ClearMenu::ClearMenu(RecorderLink& link, MediaModel& media, Forms& forms, FileListPanel& files, QWidget* parent)
    : QMenu(QStringLiteral("Clear"), parent), link_(link), media_(media), forms_(forms) {
    setObjectName(QStringLiteral("List1"));
    auto action = [this](const char* name, const QString& caption) {
        QAction* a = addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    onSignal(action("ClearCueList1", QStringLiteral("Clear Cue")), &QAction::triggered, this,
             &ClearMenu::ClearCueList1Click);
    onSignal(action("ClearClipList1", QStringLiteral("Clear Clip")), &QAction::triggered, this,
             &ClearMenu::ClearClipList1Click);
    onSignal(action("ClearSeq1", QStringLiteral("Clear Seq ")), &QAction::triggered, this, &ClearMenu::ClearSeq1Click);
    onSignal(action("LastFileErase2", QStringLiteral("Last File Erase")), &QAction::triggered, &files,
             &FileListPanel::LastFileErase2Click);
}

bool ClearMenu::confirm(const QString& what) {
    return forms_.form5()->ask(what + QLatin1Char(' ') + onHosts(link_.targetHosts()));
}

void ClearMenu::ClearCueList1Click() {
    if (!confirm(QStringLiteral("Clear all cue marks"))) return;
    media_.clearCues();
    link_.queue(cmd::clearCues());
}

void ClearMenu::ClearClipList1Click() {
    if (!confirm(QStringLiteral("Clear all clips"))) return;
    media_.clearClips();
    link_.queue(cmd::clearClips());
}

void ClearMenu::ClearSeq1Click() {
    if (!confirm(QStringLiteral("Clear all sequences"))) return;
    media_.clearSequences();
    link_.queue(cmd::clearSequences());
}

}  // namespace qz7
