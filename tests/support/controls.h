// Finding a control the way automation does: by its objectName (docs/controls.md
// lists them), never through the window's C++ members.
#pragma once

#include <QObject>
#include <gtest/gtest.h>

namespace qz7::test {

// Every object named `name` of type T below `root` that belongs to root's own
// window: another window parented to it (a dialog, "Sequence Play", "Event Log")
// is matched by its own name but not searched, so its controls' names cannot
// shadow the main window's.
QObjectList controlsNamed(QObject& root, const char* name, const QMetaObject& type);

// The one control named `objectName` below `root`. A missing or doubled name
// fails the test there and then, with the name, rather than as a null pointer later.
template <class T>
T* control(QObject& root, const char* objectName) {
    const QObjectList found = controlsNamed(root, objectName, T::staticMetaObject);
    if (found.size() == 1) return static_cast<T*>(found.front());
    ADD_FAILURE() << (found.empty() ? "no " : "more than one ") << T::staticMetaObject.className() << " named "
                  << objectName << " below " << qPrintable(root.objectName());
    std::abort();
}

}  // namespace qz7::test
