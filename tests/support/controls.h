#pragma once

// Reaching a window's controls from a test: by their object names, as the user's view of the
// form names them; a missing control stops the test with a message naming it.

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace tarvela::test {

template <class T> T* Control(const QObject* window, const char* name) {
    T* found = window->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("%s has no %s named %s", qPrintable(window->objectName()),
               T::staticMetaObject.className(), name);
    return found;
}

} // namespace tarvela::test
