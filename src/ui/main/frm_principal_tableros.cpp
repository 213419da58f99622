// The boards: drawing the panels, the shot cross, the sunk counters and the
// solution.
#include "ui/main/frm_principal.h"

#include "core/modprincipal.h"
#include "options/opciones.h"
#include "platform/anuncios.h"
#include "platform/rutas.h"
#include "platform/sonido.h"
#include "ui/main/colores.h"
#include "ui/main/frm_ver_barcos.h"
#include "ui/main/tablero.h"

#include "ui/main/frm_principal_interno.h"
#include <QApplication>
#include <QLabel>
#include <algorithm>
#include <array>

namespace brumaria {

using namespace ventana;

// ----------------------------------------------------------------- panels

void FrmPrincipal::InicializarPanel(int intPanel) {
    Tablero* t = intPanel == 0 ? tableroJugador : intPanel == 3 ? tableroOrdenador : nullptr;
    if (!t) return;
    for (int f = 0; f < 10; ++f) {
        for (int c = 0; c < 10; ++c) {
            Tablero::Casilla& k = t->casilla(f, c);
            k.marcaVisible = false;
            k.relleno = Qt::white;
            k.opaca = false;
            k.imagen = {};
            k.contenido.clear();
        }
    }
    t->Repintar();
}

void FrmPrincipal::MostrarPanel(int intPanel) {
    const RegistroOpciones& o = opciones_.Opciones;
    if (intPanel == 0) {
        const bool blnFondo = o.blnImagenAgua && tableroJugador->tieneFondo();
        for (int f = 0; f < 10; ++f) {
            for (int c = 0; c < 10; ++c) {
                Tablero::Casilla& k = tableroJugador->casilla(f, c);
                k.opaca = true;
                k.imagen = {};
                if (principal_.intBarcosJugador[f][c] == CASILLA_BARCO) {
                    k.opaca = false;
                    k.imagen = imagenes_.Pieza(principal_.CargarImagenCasilla(f, c, 0));
                    k.contenido = QStringLiteral("barco");
                } else {
                    k.opaca = !blnFondo;
                    k.relleno = ColorVB(o.lngColorAgua);
                    k.contenido = QStringLiteral("agua");
                }
            }
        }
        tableroJugador->Repintar();
        blnPanelesDibujados_ = true;
    } else if (intPanel == 3) {
        const bool blnFondo = o.blnImagenAgua && tableroOrdenador->tieneFondo();
        // A picture for hidden squares that will not load falls back to the
        // colour, so hidden squares never look like water.
        const ImagenNitida oculta =
            o.blnImagenNoDescubierto ? imagenes_.Archivo(o.strRutaNoDescubierto) : ImagenNitida();
        for (int f = 0; f < 10; ++f) {
            for (int c = 0; c < 10; ++c) {
                Tablero::Casilla& k = tableroOrdenador->casilla(f, c);
                k.opaca = true;
                k.imagen = {};
                switch (principal_.intDescubiertoOrdenador[f][c]) {
                case CASILLA_OCULTA:
                    k.contenido = QStringLiteral("sin descubrir");
                    if (!oculta.isNull()) {
                        k.opaca = false;
                        k.imagen = oculta;
                    } else {
                        k.relleno = ColorVB(o.lngColorNoDescubiertas);
                    }
                    break;
                case CASILLA_AGUA:
                    k.contenido = QStringLiteral("agua");
                    k.opaca = !blnFondo;
                    k.relleno = ColorVB(o.lngColorAgua);
                    break;
                case CASILLA_BARCO:
                    k.contenido = QStringLiteral("tocado");
                    k.opaca = false;
                    k.imagen = imagenes_.Pieza(principal_.CargarImagenCasilla(f, c, 3));
                    break;
                default:
                    break;
                }
            }
        }
        tableroOrdenador->Repintar();
        blnPanelesDibujados_ = true;
    }
}

void FrmPrincipal::ReiniciarContadores() {
    const QColor texto = QApplication::palette().color(QPalette::ButtonText);
    auto normal = [&](QLabel* l) {
        QFont f = l->font();
        f.setBold(false);
        l->setFont(f);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, texto);
        l->setPalette(p);
    };
    for (int i = 0; i < 4; ++i) {
        lblHundidosJugadorDe[i]->setText(QStringLiteral("0"));
        lblHundidosOrdenadorDe[i]->setText(QStringLiteral("0"));
        for (QLabel* l :
             {lblHundidosJugadorDe[i], lblHundidosOrdenadorDe[i], lblXJugador[i], lblXOrdenador[i]})
            normal(l);
    }
}

void FrmPrincipal::FijarContador(QLabel* contador, QLabel* x, int intLongitud,
                                 const QString& texto) {
    contador->setText(texto);
    if (texto != QString::number(kTotales[intLongitud - 1])) return;
    for (QLabel* l : {contador, x}) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, ColorVB(kVerde));
        l->setPalette(p);
    }
}

void FrmPrincipal::ContarHundido(bool blnBarcoDeJugador, int intLongitud) {
    if (intLongitud < 1 || intLongitud > 4) return;
    QLabel* contador =
        (blnBarcoDeJugador ? lblHundidosJugadorDe : lblHundidosOrdenadorDe)[intLongitud - 1];
    QLabel* x = (blnBarcoDeJugador ? lblXJugador : lblXOrdenador)[4 - intLongitud];
    FijarContador(contador, x, intLongitud, QString::number(contador->text().toInt() + 1));
}

void FrmPrincipal::MarcarAtaque(int intFila, int intColumna, bool blnRespondido) {
    if (!blnCasillaValida(intFila, intColumna)) return;
    const RegistroOpciones& o = opciones_.Opciones;
    Tablero::Casilla& k = tableroJugador->casilla(intFila, intColumna);
    k.marcaVisible = true;
    k.marcaOpaca = blnRespondido;
    k.marcaRelleno = ColorVB(o.lngColorMarcadoresInterior);
    k.marcaBorde =
        ColorVB(blnRespondido ? o.lngColorMarcadoresExterior : o.lngColorIndicadorAtaque);
    tableroJugador->Repintar();
    if (!blnRespondido)
        anunciador_->Anunciar(QStringLiteral("Disparo en ") + strCasilla(intFila, intColumna));
}

void FrmPrincipal::OcultarDisparo() {
    tableroOrdenador->OcultarDisparo();
}

void FrmPrincipal::CoordenadasDisparo(int intFila, int intColumna, int& x1, int& y1, int& x2,
                                      int& y2, int& x3, int& y3, int& x4, int& y4) {
    const int x = 240 * intColumna;
    const int y = 240 * intFila;
    x1 = x + 650;
    y1 = y + 650;
    x2 = x + 790;
    y2 = y + 790;
    x3 = x + 650;
    y3 = y + 790;
    x4 = x + 790;
    y4 = y + 650;
}

void FrmPrincipal::MostrarSolucion() {
    FrmVerBarcos ventana(principal_, opciones_.Opciones, imagenes_, this);
    frmVerBarcos = &ventana;
    ventana.exec();
}

void FrmPrincipal::Sonido(const QString& strArchivo) {
    brumaria::Sonido(strArchivo);
}

} // namespace brumaria
