#include "ui/sequence_page.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "ui/main_window.h"

namespace qz7 {

SequencePage::SequencePage(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("TabSheet9"));
    ListBox3 = new QListWidget(this);
    ListBox3->setObjectName(QStringLiteral("ListBox3"));
    for (int s = 0; s < 16; ++s) ListBox3->addItem(QString());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox3);
}

void SequencePage::requestBlocks() {}

}  // namespace qz7
