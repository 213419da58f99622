#pragma once
// Tests reach a window's controls by their object names, as a user's tools
// (and screen readers) do; the windows keep their widget members private.
#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace brumaria::prueba {

// The child named `nombre`; fails the test (and returns null) when missing.
template <class T> T* Control(const QObject& ventana, const QString& nombre) {
    T* c = ventana.findChild<T*>(nombre);
    if (!c) ADD_FAILURE() << "no control " << nombre.toStdString();
    return c;
}

// A key where a real keyboard sends it: to the widget with the focus.
inline void Tecla(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QWidget* w = QApplication::focusWidget();
    ASSERT_NE(w, nullptr) << "nothing has the keyboard focus";
    QTest::keyClick(w, k, m);
}

} // namespace brumaria::prueba
