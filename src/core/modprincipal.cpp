#include "core/modprincipal.h"

#include "platform/mensajes.h"

namespace brumaria {

Panel* ModPrincipal::panel(int intPanel) {
    switch (intPanel) {
    case 0:
        return &intBarcosJugador;
    case 1:
        return &intDescubiertoJugador;
    case 2:
        return &intBarcosOrdenador;
    case 3:
        return &intDescubiertoOrdenador;
    default:
        return nullptr;
    }
}

const Panel* ModPrincipal::panel(int intPanel) const {
    return const_cast<ModPrincipal*>(this)->panel(intPanel);
}

std::int16_t ModPrincipal::intLeerCasilla(int intFila, int intColumna, int intPanel) const {
    if (!blnCasillaValida(intFila, intColumna)) return CASILLA_FUERA;
    const Panel* p = panel(intPanel);
    return p ? (*p)[intFila][intColumna] : CASILLA_AGUA;
}

bool ModPrincipal::blnEscribirCasilla(int intFila, int intColumna, int intPanel,
                                      std::int16_t intValor) {
    Panel* p = panel(intPanel);
    if (!p || !blnCasillaValida(intFila, intColumna)) return false;
    (*p)[intFila][intColumna] = intValor;
    return true;
}

void ModPrincipal::LlenarPanel(int intPanel, std::int16_t intValor) {
    if (Panel* p = panel(intPanel))
        for (auto& fila : *p)
            fila.fill(intValor);
}

int ModPrincipal::intComprobarAtaque(int intFila, int intColumna) {
    const std::int16_t descubierto = intLeerCasilla(intFila, intColumna, 3);
    if (descubierto == CASILLA_FUERA) {
        MsgBox(QStringLiteral("La casilla elegida está fuera del panel"), QStringLiteral("Error"),
               Icono::Critico);
        return 3;
    }
    if (descubierto != CASILLA_OCULTA) {
        MsgBox(QStringLiteral("La casilla elegida ya está descubierta"), QStringLiteral("Error"),
               Icono::Critico);
        return 3;
    }
    const std::int16_t verdad = intLeerCasilla(intFila, intColumna, 2);
    blnEscribirCasilla(intFila, intColumna, 3, verdad);
    if (verdad != CASILLA_BARCO) return 0;
    // Uncovered first, so the shot that takes a ship's last piece sinks it.
    return blnHundido(intFila, intColumna, 1) ? 2 : 1;
}

bool ModPrincipal::blnHundido(int intFila, int intColumna, int intLado) const {
    const int t = intLado == 0 ? 0 : 2;
    const int k = intLado == 0 ? 1 : 3;
    // No piece there, no ship to be sunk (also covers squares off the board).
    if (intLeerCasilla(intFila, intColumna, t) != CASILLA_BARCO) return false;

    int f = intFila;
    int c = intColumna;
    while (intLeerCasilla(f, c, t) == CASILLA_BARCO)
        --c;
    ++c;
    while (intLeerCasilla(f, c, t) == CASILLA_BARCO)
        --f;
    ++f;
    if (intLeerCasilla(f, c, k) == CASILLA_OCULTA) return false;

    const int orientacion = intHor_Ver_Long1(intFila, intColumna, t);
    if (orientacion == 2) return true;
    const int df = orientacion == 0 ? 0 : 1;
    const int dc = orientacion == 0 ? 1 : 0;
    // The walk stops at the first non-piece; off the board reads 3, so it
    // never leaves the grid.
    for (;; f += df, c += dc) {
        if (intLeerCasilla(f, c, t) != CASILLA_BARCO) return true;
        if (intLeerCasilla(f, c, k) == CASILLA_OCULTA) return false;
    }
}

int ModPrincipal::intHor_Ver_Long1(int intFila, int intColumna, int intPanel) const {
    const std::int16_t izq = intLeerCasilla(intFila, intColumna - 1, intPanel);
    const std::int16_t der = intLeerCasilla(intFila, intColumna + 1, intPanel);
    const std::int16_t arr = intLeerCasilla(intFila - 1, intColumna, intPanel);
    const std::int16_t abj = intLeerCasilla(intFila + 1, intColumna, intPanel);
    if (izq == CASILLA_BARCO || der == CASILLA_BARCO) return 0;
    if (arr == CASILLA_BARCO || abj == CASILLA_BARCO) return 1;
    const auto cerrada = [](std::int16_t v) { return v == CASILLA_FUERA || v == CASILLA_AGUA; };
    if (cerrada(izq) && cerrada(der) && cerrada(arr) && cerrada(abj)) return 2;
    return 3;
}

int ModPrincipal::intCuantoDescubierto(int intFila, int intColumna, int intPanel) const {
    int total = 1;
    const auto contar = [&](int df, int dc) {
        for (int f = intFila + df, c = intColumna + dc;
             intLeerCasilla(f, c, intPanel) == CASILLA_BARCO; f += df, c += dc)
            ++total;
    };
    contar(-1, 0);
    contar(0, -1);
    contar(1, 0);
    contar(0, 1);
    return total;
}

bool ModPrincipal::blnFlotaDescubierta(int intPanelFlota) const {
    const Panel* flota = panel(intPanelFlota);
    const Panel* descubierto = panel(intPanelFlota + 1);
    if (!flota || !descubierto || (intPanelFlota != 0 && intPanelFlota != 2)) return false;
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c)
            if ((*flota)[f][c] == CASILLA_BARCO && (*descubierto)[f][c] == CASILLA_OCULTA)
                return false;
    return true;
}

int ModPrincipal::intTerminarPartida() const {
    if (blnFlotaDescubierta(2)) return 1;
    if (blnFlotaDescubierta(0)) return 2;
    return 0;
}

int ModPrincipal::intLongitudHundido(int intFila, int intColumna, bool blnBarcoDeJugador) const {
    return intCuantoDescubierto(intFila, intColumna, blnBarcoDeJugador ? 0 : 3);
}

ImagenCasilla ModPrincipal::CargarImagenCasilla(int intFila, int intColumna, int intPanel) const {
    if (!blnCasillaValida(intFila, intColumna)) return ImagenCasilla::Ninguna;
    if (intPanel == 3)
        return intLeerCasilla(intFila, intColumna, 3) == CASILLA_BARCO ? ImagenCasilla::Ataque
                                                                       : ImagenCasilla::Ninguna;
    if (intPanel != 0 && intPanel != 2) return ImagenCasilla::Ninguna;
    const bool izq = intLeerCasilla(intFila, intColumna - 1, intPanel) == CASILLA_BARCO;
    const bool der = intLeerCasilla(intFila, intColumna + 1, intPanel) == CASILLA_BARCO;
    const bool arr = intLeerCasilla(intFila - 1, intColumna, intPanel) == CASILLA_BARCO;
    const bool abj = intLeerCasilla(intFila + 1, intColumna, intPanel) == CASILLA_BARCO;
    if (!izq && der) return ImagenCasilla::BarcoH1;
    if (izq && der) return ImagenCasilla::BarcoH2;
    if (izq && !der) return ImagenCasilla::BarcoH3;
    if (!arr && abj) return ImagenCasilla::BarcoV1;
    if (arr && abj) return ImagenCasilla::BarcoV2;
    if (arr && !abj) return ImagenCasilla::BarcoV3;
    return ImagenCasilla::BarcoH4;
}

QString strLetraColumna(int intColumna) {
    if (intColumna < 0 || intColumna >= kLado) return QString();
    return QString(QChar(u'A' + intColumna));
}

QString strNumeroFila(int intFila) {
    return QString::number(intFila + 1);
}

QString strCasilla(int intFila, int intColumna) {
    return strLetraColumna(intColumna) + strNumeroFila(intFila);
}

QString strArchivoImagen(ImagenCasilla imagen, bool blnPrevia) {
    const char* base = nullptr;
    switch (imagen) {
    case ImagenCasilla::Ninguna:
        return QString();
    case ImagenCasilla::Ataque:
        return QStringLiteral("imagenes/ataque.gif");
    case ImagenCasilla::BarcoH1:
        base = "barcoh1";
        break;
    case ImagenCasilla::BarcoH2:
        base = "barcoh2";
        break;
    case ImagenCasilla::BarcoH3:
        base = "barcoh3";
        break;
    case ImagenCasilla::BarcoH4:
        base = "barcoh4";
        break;
    case ImagenCasilla::BarcoV1:
        base = "barcov1";
        break;
    case ImagenCasilla::BarcoV2:
        base = "barcov2";
        break;
    case ImagenCasilla::BarcoV3:
        base = "barcov3";
        break;
    }
    if (!base) return QString();
    return QStringLiteral("imagenes/") + QLatin1String(base) +
           (blnPrevia ? QStringLiteral("2.gif") : QStringLiteral(".gif"));
}

} // namespace brumaria
