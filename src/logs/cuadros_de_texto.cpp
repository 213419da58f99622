#include "logs/cuadros_de_texto.h"

#include "platform/cp1252.h"
#include "options/opciones.h"
#include "platform/mensajes.h"

#include <QFile>
#include <QFileInfo>
#include <climits>

namespace brumaria {

namespace {

// Appends one line (CR LF ended, Windows-1252) and closes the file again, so
// the file is complete on disk after every line. False when any step fails.
bool blnAnadirAlArchivo(const QString& strRuta, const QString& strTexto) {
    if (strRuta.isEmpty()) return false;
    QFile archivo(strRuta);
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    QByteArray datos = ACp1252(strTexto);
    datos.append("\r\n", 2);
    const bool blnEscrito = archivo.write(datos) == datos.size() && archivo.flush();
    archivo.close();
    return blnEscrito && archivo.error() == QFileDevice::NoError;
}

// Whether a line could be appended, asked without creating the file.
bool blnSePuedeAnadir(const QString& strRuta) {
    if (strRuta.isEmpty()) return false;
    const QFileInfo info(strRuta);
    if (info.exists()) return info.isFile() && info.isWritable();
    const QFileInfo carpeta(info.absolutePath());
    return carpeta.isDir() && carpeta.isWritable() &&
           QFile::encodeName(info.fileName()).size() <= NAME_MAX;
}

QString strAvisoArchivo(const QString& strRuta) {
    return QStringLiteral("No se puede escribir en el archivo de historial '%1'. "
                          "El historial se seguirá mostrando en la ventana.")
        .arg(strRuta);
}

} // namespace

void ModCuadrosDeTexto::EscribirEnHistorial(const QString& strTexto) {
    // The pane first: a file problem must never cost the player the line.
    if (paneles_) paneles_->AnadirLineaHistorial(strTexto);

    const RegistroOpciones& o = opciones_.Opciones;
    if (!o.blnHistorialMovimientosActivar) return;

    const QString& strRuta = o.strRutaArchivoHistorial;
    if (blnAnadirAlArchivo(strRuta, strTexto)) {
        blnAvisado_ = false; // a later failure is news again
        return;
    }
    // Tell the player once per failing path, not once per move.
    if (blnAvisado_ && rutaFallida_ == strRuta) return;
    blnAvisado_ = true;
    rutaFallida_ = strRuta;
    MsgBox(strAvisoArchivo(strRuta), QStringLiteral("Error"), Icono::Critico);
}

QString ModCuadrosDeTexto::strComprobarArchivo() {
    const RegistroOpciones& o = opciones_.Opciones;
    if (!o.blnHistorialMovimientosActivar) return {};
    const QString& strRuta = o.strRutaArchivoHistorial;
    if (blnSePuedeAnadir(strRuta)) return {};
    blnAvisado_ = true;
    rutaFallida_ = strRuta;
    return strAvisoArchivo(strRuta);
}

void ModCuadrosDeTexto::EscribirEnChat(const QString& strTexto) {
    if (!paneles_) return;
    paneles_->AnadirLineaChat(strTexto);
    if (!opciones_.Opciones.blnVerChat) {
        paneles_->EscribirEstado(3, QStringLiteral("Te están escribiendo al chat"));
        paneles_->ParpadearSTB(3, 4);
    }
}

void ModCuadrosDeTexto::EscribirAviso(const QString& strTexto, const QString& strBreve) {
    EscribirEnHistorial(strTexto);
    if (!paneles_ || opciones_.Opciones.blnVerHistorial) return;
    paneles_->MostrarAviso(strBreve.isEmpty() ? strTexto : strBreve);
}

} // namespace brumaria
