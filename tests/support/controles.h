#pragma once
// Tests reach a window's controls by their object names, as a user's tools
// (and screen readers) do; the windows keep their widget members private.
#include <QWidget>
#include <gtest/gtest.h>

namespace brumaria::prueba {

// The child named `nombre`; fails the test (and returns null) when missing.
template <class T> T* Control(const QObject& ventana, const QString& nombre) {
    T* c = ventana.findChild<T*>(nombre);
    if (!c) ADD_FAILURE() << "no control " << nombre.toStdString();
    return c;
}

} // namespace brumaria::prueba
