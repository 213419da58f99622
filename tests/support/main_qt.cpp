// Test entry point: a QApplication on the offscreen platform, and message
// boxes recorded rather than shown, so no test can block on a dialog.
#include "grabador_mensajes.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brumaria"));
    brumaria::prueba::GrabadorMensajes silencio; // a fallback; tests install their own
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
