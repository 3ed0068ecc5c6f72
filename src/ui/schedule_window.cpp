#include "ui/schedule_window.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "ui/main_window.h"

namespace qz7 {

TForm2::TForm2(TForm1& main) : QDialog(&main), main_(main) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Sequence Play"));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    for (int i = 0; i < 100; ++i) ListBox1->addItem(QString());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox1);
}

}  // namespace qz7
