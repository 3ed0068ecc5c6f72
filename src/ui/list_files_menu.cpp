#include "ui/list_files_menu.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QSaveFile>
#include <stdexcept>

#include "deck/deck.h"
#include "media/cue_import.h"
#include "media/list_export.h"
#include "ui/confirmation_dialog.h"
#include "ui/forms.h"
#include "ui/handler.h"
#include "ui/widgets.h"

namespace qz7 {

namespace {

const QString kRetrieveFirst = QStringLiteral("Retrieve the lists first");
// A cue list of 512 marks is a few tens of KiB; anything much larger is not one.
constexpr qint64 kLargestCueFile = 1 << 20;

QAction* item(QMenu* menu, const char* name) {
    for (QAction* a : menu->actions())
        if (a->objectName() == QLatin1String(name)) return a;
    QAction* a = new QAction(menu);
    a->setObjectName(QString::fromLatin1(name));
    menu->addAction(a);
    return a;
}

[[noreturn]] void fail(const QString& message) { throw std::runtime_error(message.toStdString()); }

}  // namespace

const QString ListFilesMenu::kCsvFilter = QStringLiteral("CSV files (*.csv)");
const QString ListFilesMenu::kEdlFilter = QStringLiteral("CMX3600 EDL (*.edl)");

ListFilesMenu::ListFilesMenu(Deck& deck, Forms& forms, QMenu* fileMenu, QWidget* window)
    : QObject(window), deck_(deck), forms_(forms), window_(window) {
    setObjectName(QStringLiteral("ListFiles"));
    saveFilesAction = item(fileMenu, "RecFile1");
    saveClipsAction = item(fileMenu, "SaveClipList1");
    saveSequencesAction = item(fileMenu, "SaveS1");
    QAction* exit = item(fileMenu, "Exit1");
    saveCuesAction = new QAction(QStringLiteral("Save Cue List"), fileMenu);
    saveCuesAction->setObjectName(QStringLiteral("SaveCueList1"));
    loadCuesAction = new QAction(QStringLiteral("Load Cue Marks…"), fileMenu);
    loadCuesAction->setObjectName(QStringLiteral("LoadCueMarks1"));
    fileMenu->insertAction(exit, saveCuesAction);
    fileMenu->insertAction(exit, loadCuesAction);
    fileMenu->insertSeparator(exit);
    // The disabled items say why.
    fileMenu->setToolTipsVisible(true);

    onSignal(saveFilesAction, &QAction::triggered, this, &ListFilesMenu::saveFiles);
    onSignal(saveClipsAction, &QAction::triggered, this, &ListFilesMenu::saveClips);
    onSignal(saveSequencesAction, &QAction::triggered, this, &ListFilesMenu::saveSequences);
    onSignal(saveCuesAction, &QAction::triggered, this, &ListFilesMenu::saveCues);
    onSignal(loadCuesAction, &QAction::triggered, this, &ListFilesMenu::loadCueMarks);
    connect(&deck_, &Deck::retrieveProgressChanged, this, &ListFilesMenu::follow);
    connect(&deck_, &Deck::applied, this, [this] { setFilled(false); });
    setFilled(false);
}

// A Retrieve fills the lists when it ends of itself, all answered or not; one
// cut short by "Apply" leaves them half filled and from the other recorder.
void ListFilesMenu::follow() {
    const RetrieveProgressState& p = deck_.retrieveProgress();
    if (p.running) {
        retrieving_ = true;
        setFilled(false);
        return;
    }
    if (retrieving_ && !p.cancelled) setFilled(true);
    retrieving_ = false;
}

void ListFilesMenu::setFilled(bool filled) {
    for (QAction* a : {saveFilesAction, saveClipsAction, saveSequencesAction, saveCuesAction, loadCuesAction}) {
        a->setEnabled(filled);
        a->setToolTip(filled ? QString() : kRetrieveFirst);
    }
    // New lists: what an earlier load wrote is read again with them.
    if (!filled) pending_.clear();
}

QString ListFilesMenu::choose(const QString& caption, const QString& filters, QString* selectedFilter, bool save) {
    if (chooser_) return chooser_(caption, filters, selectedFilter, save);
    return save ? QFileDialog::getSaveFileName(window_, caption, QString(), filters, selectedFilter)
                : QFileDialog::getOpenFileName(window_, caption, QString(), filters, selectedFilter);
}

void ListFilesMenu::saveFiles() { save(QStringLiteral("Save File List"), "files.csv", nullptr); }
void ListFilesMenu::saveClips() { save(QStringLiteral("Save Clip List"), "clips.csv", "clips.edl"); }
void ListFilesMenu::saveSequences() { save(QStringLiteral("Save Seq List"), "sequences.csv", nullptr); }
void ListFilesMenu::saveCues() { save(QStringLiteral("Save Cue List"), "cues.csv", "cues.edl"); }

// The file is replaced whole or not at all.
void ListFilesMenu::save(const QString& caption, const char* csv, const char* edl) {
    QString filter = kCsvFilter;
    QString path = choose(caption, edl ? kCsvFilter + QStringLiteral(";;") + kEdlFilter : kCsvFilter, &filter, true);
    if (path.isEmpty()) return;
    const bool asEdl = edl && filter == kEdlFilter;
    if (QFileInfo(path).suffix().isEmpty()) path += asEdl ? QStringLiteral(".edl") : QStringLiteral(".csv");
    const ListRows rows = listRows(deck_.media(), deck_.listLines(MediaList::Clips), deck_.listLines(MediaList::Cues));
    const std::optional<std::string> body =
        listFile(rows, asEdl ? edl : csv, deck_.status().frameBase, deck_.name().toStdString());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(body->data(), static_cast<qint64>(body->size())) < 0 ||
        !file.commit())
        fail(QStringLiteral("%1: %2 was not written: %3").arg(caption, path, file.errorString()));
}

// Checked whole first; then the operator sees which marks go to which cue
// numbers and on which recorders, and only OK writes them.
void ListFilesMenu::loadCueMarks() {
    const QString caption = QStringLiteral("Load Cue Marks");
    const QString path = choose(caption, kCsvFilter + QStringLiteral(";;All files (*)"), nullptr, false);
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) fail(QStringLiteral("%1: %2: %3").arg(caption, path, file.errorString()));
    if (file.size() > kLargestCueFile)
        fail(QStringLiteral("%1: %2 is larger than 1 MiB: not a cue list").arg(caption, path));
    const QByteArray bytes = file.read(kLargestCueFile + 1);
    const CueImport cues = importCues(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                                      deck_.status().frameBase);
    const QString name = QFileInfo(path).fileName();
    if (cues.error)
        fail(QStringLiteral("%1: %2, %3").arg(caption, name, QString::fromStdString(cues.error->text())));

    const int wanted = static_cast<int>(cues.marks.size());
    std::vector<int> free = freeCueSlots(deck_.media(), deck_.listLines(MediaList::Cues),
                                         wanted + static_cast<int>(pending_.size()));
    std::erase_if(free, [this](int k) { return pending_.count(k) != 0; });
    if (static_cast<int>(free.size()) < wanted)
        fail(QStringLiteral("%1: %2 holds %3 cue marks, but only %4 cue slots are free")
                 .arg(caption, name)
                 .arg(wanted)
                 .arg(free.size()));
    free.resize(static_cast<std::size_t>(wanted));

    QString what = QStringLiteral("Write %1 cue mark%2 from %3 into free cue slots")
                       .arg(wanted)
                       .arg(wanted == 1 ? QString() : QStringLiteral("s"), name);
    constexpr int kShown = 8;
    for (int i = 0; i < wanted && i < kShown; ++i) {
        const CueMark& m = cues.marks[static_cast<std::size_t>(i)];
        what += QStringLiteral("\n  cue %1: %2 %3")
                    .arg(free[static_cast<std::size_t>(i)], 3, 10, QLatin1Char('0'))
                    .arg(QString::fromStdString(m.position.text()), fromBytes(m.name));
    }
    if (wanted > kShown) what += QStringLiteral("\n  ... and %1 more, up to cue %2").arg(wanted - kShown).arg(free.back());
    what += QLatin1Char('\n') + onHosts(deck_.targetHosts());
    if (!forms_.confirmationDialog()->ask(what)) return;

    for (int i = 0; i < wanted; ++i) {
        const CueMark& m = cues.marks[static_cast<std::size_t>(i)];
        const int slot = free[static_cast<std::size_t>(i)];
        const Args args{{"number", std::int64_t{slot}}, {"timecode", m.position.text()}, {"name", m.name}};
        const Outcome out = deck_.submit(Origin::panel(), "cue/load", cueLoad(slot, m), true, args);
        if (!out.queued())
            fail(QStringLiteral("%1: stopped at line %2 (cue %3): %4; %5 of %6 written")
                     .arg(caption)
                     .arg(m.line)
                     .arg(slot)
                     .arg(QString::fromStdString(out.refusal))
                     .arg(i)
                     .arg(wanted));
        pending_.insert(slot);
    }
}

}  // namespace qz7
