#include "ui/file_list_panel.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/main_window.h"
#include "ui/widgets.h"

namespace qz7 {

FileListPanel::FileListPanel(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("Panel9"));
    ListBox2 = new QListWidget(this);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    BitBtn7 = makeButton(QStringLiteral("BitBtn7"), QStringLiteral("OPEN"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel(QStringLiteral("Label_REC"), QStringLiteral("REC"), this));
    layout->addWidget(makeLabel(QStringLiteral("Label_FILES"), QStringLiteral("FILES"), this));
    layout->addWidget(ListBox2);
    layout->addWidget(BitBtn7);
}

void TForm1::LastFileErase2Click() {}

}  // namespace qz7
