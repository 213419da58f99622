// Opens the placement editor half-way through a fleet with a preview on
// the board, for a look at it on a real display. Not part of the suite.
#include "core/modprincipal.h"
#include "options/opciones.h"
#include "platform/rutas.h"
#include "ui/placement/colocar_barcos.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // A folder of its own: the editor remembers its size beside the pictures.
    QTemporaryDir carpeta;
    QDir().mkpath(carpeta.filePath(QStringLiteral("imagenes")));
    const QDir imagenes(QStringLiteral(BRUMARIA_ASSETS_DIR "/imagenes"));
    for (const QString& n : imagenes.entryList(QDir::Files))
        QFile::copy(imagenes.filePath(n), carpeta.filePath(QStringLiteral("imagenes/") + n));
    brumaria::FijarRutaPrograma(carpeta.path());
    const bool agua = argc > 1 && QString::fromLatin1(argv[1]) == QLatin1String("agua");
    brumaria::RegistroOpciones opciones = brumaria::RegistroOpciones::PorDefecto();
    opciones.blnImagenAgua = agua;
    brumaria::ModPrincipal principal;
    brumaria::FrmColocarBarcos editor(principal, opciones);
    editor.move(40, 40);
    editor.show();
    editor.imgCelda_Click(1);  // B1..E1
    editor.imgCelda_Click(60); // A7..C7
    editor.findChild<QRadioButton*>(QStringLiteral("optVertical"))->setChecked(true);
    editor.imgCelda_Click(38); // I4..I6
    editor.imgCelda_Click(93); // D10..D10 (vertical 2 from D9)
    editor.imgCelda_Click(83);
    editor.imgCelda_MouseMove(25); // preview of the next ship of 2 at F3
    QTimer::singleShot(argc > 2 ? QString::fromLatin1(argv[2]).toInt() : 4000, &app,
                       &QApplication::quit);
    return app.exec();
}
