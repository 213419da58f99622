// Test entry point: a QApplication on the offscreen platform, and message
// boxes recorded rather than shown, so no test can block on a dialog.
#include "grabador_mensajes.h"
#include "platform/solo_local.h"
#include "platform/traducciones.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Every test program is loopback-only and never broadcasts, however it is started.
    brumaria::FijarSoloLocal(true);
    if (qgetenv("DBUS_SESSION_BUS_ADDRESS").isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    if (qgetenv("QT_LOGGING_RULES").isEmpty())
        qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brumaria"));
    brumaria::CargarTraduccionesQt(app); // as the game does
    brumaria::prueba::GrabadorMensajes silencio; // a fallback; tests install their own
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
