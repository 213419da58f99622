#include "platform/mensajes_qt.h"

#include "platform/mensajes.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>

namespace brumaria {
namespace {

QMessageBox::Icon IconoQt(Icono icono) {
    switch (icono) {
    case Icono::Critico:
        return QMessageBox::Critical;
    case Icono::Pregunta:
        return QMessageBox::Question;
    case Icono::Exclamacion:
        return QMessageBox::Warning;
    case Icono::Informacion:
        return QMessageBox::Information;
    case Icono::Ninguno:
        break;
    }
    return QMessageBox::NoIcon;
}

// A box the network raises while another program has the focus goes over
// the game's own windows, not to the middle of the screen.
QWidget* Padre() {
    if (QWidget* w = QApplication::activeWindow()) return w;
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && qobject_cast<QMainWindow*>(w)) return w;
    return nullptr;
}

Respuesta Mostrar(const Mensaje& m) {
    QMessageBox caja(Padre());
    caja.setIcon(IconoQt(m.icono));
    caja.setWindowTitle(m.titulo.isEmpty() ? kTituloPrograma : m.titulo);
    // Texts may carry names and paths typed elsewhere: never read them as markup.
    caja.setTextFormat(Qt::PlainText);
    caja.setText(strPartirPalabras(m.texto, kPalabraMaxima));
    if (m.botones == Botones::SiNo) {
        QPushButton* si = caja.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole);
        QPushButton* no = caja.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        caja.setDefaultButton(si);
        caja.setEscapeButton(no);
        caja.exec();
        return caja.clickedButton() == si ? Respuesta::Si : Respuesta::No;
    }
    QPushButton* aceptar = caja.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
    caja.setDefaultButton(aceptar);
    caja.setEscapeButton(aceptar);
    caja.exec();
    return Respuesta::Aceptar;
}

} // namespace

void InstalarMensajesQt() {
    InstalarManejadorMensajes(&Mostrar);
}

} // namespace brumaria
