// The "Clear" menu (List1): "Clear Cue", "Clear Clip", "Clear Seq ", each
// after the "Confirmation" dialog, and "Last File Erase".
#pragma once

#include <QMenu>

namespace qz7 {

class FileListPanel;
class Forms;
class Deck;

class ClearMenu : public QMenu {
    Q_OBJECT
public:
    ClearMenu(Deck& deck, Forms& forms, FileListPanel& files, QWidget* parent);

public slots:
    void clearCues();
    void clearClips();
    void clearSequences();

private:
    // "Confirmation" naming what goes and on which recorders.
    bool confirm(const QString& what);

    Deck& deck_;
    Forms& forms_;
};

}  // namespace qz7
