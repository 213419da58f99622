// The history writer: a history file that cannot be written, and a notice
// that reaches the status bar only while the history pane is hidden.
#include "fakes.h"

#include "carpeta_temporal.h"
#include "grabador_mensajes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace brumaria;
using namespace brumaria::prueba;

namespace {

struct Escritor {
    ModOpciones opciones;
    PanelesFalsos paneles;
    ModCuadrosDeTexto cuadros{opciones};
    explicit Escritor(const QString& ruta) {
        opciones.Opciones.blnHistorialMovimientosActivar = true;
        opciones.Opciones.strRutaArchivoHistorial = ruta;
        cuadros.FijarPaneles(&paneles);
    }
};

TEST(ArchivoHistorial, UnArchivoImposibleSeAvisaUnaVezYSeSigueJugando) {
    CarpetaTemporal carpeta;
    QDir(carpeta.ruta()).mkdir(QStringLiteral("carpeta"));
    const QString rutas[] = {
        carpeta.archivo(QStringLiteral("carpeta")),                 // a folder
        carpeta.archivo(QStringLiteral("no/existe/Historial.txt")), // a missing folder
    };
    for (const QString& ruta : rutas) {
        GrabadorMensajes cajas;
        Escritor e(ruta);
        for (int i = 0; i < 3; ++i)
            e.cuadros.EscribirEnHistorial(QStringLiteral("línea %1").arg(i));
        EXPECT_EQ(e.paneles.historial.size(), 3) << ruta.toStdString();
        ASSERT_EQ(cajas.mensajes().size(), 1) << ruta.toStdString();
        const Mensaje& c = cajas.mensajes()[0];
        EXPECT_EQ(c.titulo, QStringLiteral("Error"));
        EXPECT_EQ(c.icono, Icono::Critico);
        EXPECT_EQ(c.texto, QStringLiteral("No se puede escribir en el archivo de historial '%1'. "
                                          "El historial se seguirá mostrando en la ventana.")
                               .arg(ruta));

        // Pointing the option at a good file brings the file back.
        const QString buena = carpeta.archivo(QStringLiteral("bueno.txt"));
        e.opciones.Opciones.strRutaArchivoHistorial = buena;
        e.cuadros.EscribirEnHistorial(QStringLiteral("sigue"));
        EXPECT_EQ(LeerArchivo(buena), QByteArray("sigue\r\n"));
        EXPECT_EQ(cajas.mensajes().size(), 1);
        QFile::remove(buena);
    }
    EXPECT_TRUE(QFileInfo(carpeta.archivo(QStringLiteral("carpeta"))).isDir());
}

TEST(ArchivoHistorial, UnAvisoVaALaBarraSoloConElHistorialOculto) {
    for (const bool blnVer : {true, false}) {
        Escritor e{QString()};
        e.opciones.Opciones.blnHistorialMovimientosActivar = false;
        e.opciones.Opciones.blnVerHistorial = blnVer;
        e.cuadros.EscribirAviso(QStringLiteral("Texto entero"), QStringLiteral("Breve"));
        EXPECT_EQ(e.paneles.historial, QStringList{QStringLiteral("Texto entero")});
        EXPECT_EQ(e.paneles.aviso, blnVer ? QString() : QStringLiteral("Breve"));
    }
}

} // namespace
