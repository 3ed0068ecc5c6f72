#include "controls.h"

#include <QWidget>

namespace qz7::test {

namespace {
void collect(QObject& parent, const QString& name, const QMetaObject& type, QObjectList& out) {
    for (QObject* child : parent.children()) {
        if (child->objectName() == name && type.cast(child)) out.append(child);
        const auto* widget = qobject_cast<QWidget*>(child);
        if (widget && (widget->windowType() == Qt::Window || widget->windowType() == Qt::Dialog)) continue;
        collect(*child, name, type, out);
    }
}
}  // namespace

QObjectList controlsNamed(QObject& root, const char* name, const QMetaObject& type) {
    QObjectList out;
    collect(root, QString::fromLatin1(name), type, out);
    return out;
}

}  // namespace qz7::test
