// The File menu's list files: "Save File List", "Save Clip List", "Save Seq
// List" and "Save Cue List" write what the lists show (CSV, or EDL for clips
// and cues by the chosen filter); "Load Cue Marks..." reads a CSV of cue
// marks into the free cue slots once the operator has seen what goes where.
// The items wait for a "Retrieve" that has filled the lists.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <set>

class QAction;
class QMenu;
class QWidget;

namespace qz7 {

class Deck;
class Forms;

class ListFilesMenu : public QObject {
    Q_OBJECT
public:
    // Takes the save items the menu already has (by objectName) and adds
    // "Save Cue List" and "Load Cue Marks..." before "Exit".
    ListFilesMenu(Deck& deck, Forms& forms, QMenu* fileMenu, QWidget* window);

    // The file dialog: a path ("" after Cancel), and for a save the filter
    // chosen. Tests answer here instead of a dialog.
    using Chooser = std::function<QString(const QString& caption, const QString& filters, QString* selectedFilter,
                                          bool save)>;
    void setChooser(Chooser chooser) { chooser_ = std::move(chooser); }

    // Filters offered; the EDL ones pick the EDL writer.
    static const QString kCsvFilter;
    static const QString kEdlFilter;

    QAction* saveFilesAction;     // RecFile1
    QAction* saveClipsAction;     // SaveClipList1
    QAction* saveSequencesAction; // SaveS1
    QAction* saveCuesAction;      // SaveCueList1
    QAction* loadCuesAction;      // LoadCueMarks1

public slots:
    void saveFiles();
    void saveClips();
    void saveSequences();
    void saveCues();
    void loadCueMarks();

private:
    void follow();
    void setFilled(bool filled);
    void save(const QString& caption, const char* csv, const char* edl);
    QString choose(const QString& caption, const QString& filters, QString* selectedFilter, bool save);

    Deck& deck_;
    Forms& forms_;
    QWidget* window_;
    Chooser chooser_;
    bool retrieving_ = false;
    // Slots written by a load whose read-back has not come yet: not free.
    std::set<int> pending_;
};

}  // namespace qz7
