#include "match/juego_limpio.h"

#include "core/azar.h"
#include "core/flota.h"
#include "logs/cuadros_de_texto.h"
#include "match/red_partida.h"
#include "match/vista_partida.h"
#include "platform/mensajes.h"

namespace brumaria {

namespace {

// Answers kept for the check. A match has at most 100 answers that
// uncover a square, plus one "already uncovered" for every shot the player
// repeats; past this a peer's answers are no longer kept, so what he can
// make us hold stays bounded.
constexpr qsizetype kMaxRespuestas = 1000;

QString strResultado(int intResultado) {
    switch (intResultado) {
    case 0:
        return QStringLiteral("era Agua");
    case 1:
        return QStringLiteral("era Tocado");
    case 2:
        return QStringLiteral("era Hundido");
    default:
        return QStringLiteral("ya estaba descubierta");
    }
}

QString strDicho(int intResultado) {
    switch (intResultado) {
    case 0:
        return QStringLiteral("dijo Agua");
    case 1:
        return QStringLiteral("dijo Tocado");
    case 2:
        return QStringLiteral("dijo Hundido");
    default:
        return QStringLiteral("dijo que ya estaba descubierta");
    }
}

QString strMentira(const Mentira& m) {
    return QStringLiteral("Tu contrincante mintió en ") + strCasilla(m.intFila, m.intColumna) +
           QStringLiteral(": ") + strResultado(m.intVerdad) + QStringLiteral(", ") +
           strDicho(m.intDicho) + QLatin1Char('.');
}

} // namespace

JuegoLimpio::JuegoLimpio(ModPrincipal& principal, ModCuadrosDeTexto& cuadros,
                         VistaPartida& vista)
    : principal_(principal), cuadros_(cuadros), vista_(vista) {}

// ------------------------------------------------------------ this side

void JuegoLimpio::Comprometer() {
    flotaPropia_ = principal_.intBarcosJugador;
    salPropia_ = Azar::SalSecreta(kBytesSal);
    propia_ = FlotaPropia::Prometida;
    if (red_) red_->EnviarCompromiso(CompromisoFlota(flotaPropia_, salPropia_));
}

void JuegoLimpio::Revelar() {
    // A set-up given up before the match started has nothing to show: the
    // other side never started a match on this commitment.
    if (propia_ != FlotaPropia::EnJuego) return;
    propia_ = FlotaPropia::Secreta;
    if (red_) red_->EnviarRevelacion(flotaPropia_, salPropia_);
}

// ------------------------------------------------------ the other's fleet

void JuegoLimpio::Empezar(const QByteArray& compromisoRival) {
    if (rival_ == FlotaRival::Prometida || rival_ == FlotaRival::Revelandose) SinComprobar();
    if (propia_ == FlotaPropia::Prometida) propia_ = FlotaPropia::EnJuego;
    rival_ = FlotaRival::Prometida;
    blnTerminada_ = false;
    blnSolucion_ = false;
    compromisoRival_ = compromisoRival;
    respuestas_.clear();
    revelada_ = {};
    intReveladas_ = 0;
    salRival_.clear();
}

void JuegoLimpio::AnotarRespuesta(int intFila, int intColumna, int intResultado) {
    if (rival_ != FlotaRival::Prometida || blnTerminada_ || respuestas_.size() >= kMaxRespuestas)
        return;
    respuestas_.append({intFila, intColumna, intResultado});
}

void JuegoLimpio::RivalTermino() {
    if (rival_ == FlotaRival::Prometida) rival_ = FlotaRival::Revelandose;
}

void JuegoLimpio::RecibirCasilla(int intFila, int intColumna) {
    // Before his end, a second time, or beyond a fleet's worth: ignored.
    if (rival_ != FlotaRival::Revelandose || !blnCasillaValida(intFila, intColumna) ||
        revelada_[intFila][intColumna] || intReveladas_ >= kPiezasFlota)
        return;
    revelada_[intFila][intColumna] = true;
    ++intReveladas_;
}

void JuegoLimpio::RecibirSal(const QByteArray& sal) {
    if (rival_ != FlotaRival::Revelandose || sal.size() != kBytesSal) return;
    salRival_ = sal;
    rival_ = FlotaRival::Revelada;
    if (blnTerminada_) Comprobar();
}

void JuegoLimpio::PartidaTerminada() {
    if (rival_ == FlotaRival::Ninguna || blnTerminada_) return;
    blnTerminada_ = true;
    if (rival_ == FlotaRival::Revelada) Comprobar();
}

void JuegoLimpio::RivalSeFue() {
    if (rival_ == FlotaRival::Prometida || rival_ == FlotaRival::Revelandose) SinComprobar();
}

void JuegoLimpio::ConexionTerminada() {
    if (rival_ == FlotaRival::Prometida || rival_ == FlotaRival::Revelandose) SinComprobar(false);
}

void JuegoLimpio::VerSolucion() {
    if (rival_ == FlotaRival::Ninguna && !blnSolucion_) {
        vista_.MostrarSolucion();
        return;
    }
    blnSolucion_ = true;
}

void JuegoLimpio::SinComprobar(bool blnAvisar) {
    rival_ = FlotaRival::Ninguna;
    blnSolucion_ = false;
    const QString texto = QStringLiteral("Tu contrincante no ha enseñado sus barcos: no se ha "
                                         "podido comprobar que sus respuestas fueran ciertas.");
    cuadros_.EscribirEnHistorial(texto);
    if (blnAvisar) MsgBox(texto, QStringLiteral("Fin de partida"), Icono::Informacion);
}

void JuegoLimpio::Comprobar() {
    rival_ = FlotaRival::Ninguna;
    Panel flota{};
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c)
            flota[f][c] = revelada_[f][c] ? CASILLA_BARCO : CASILLA_AGUA;
    // The solution window shows what he showed, whatever it is worth.
    *principal_.panel(2) = flota;

    QStringList faltas;
    if (CompromisoFlota(flota, salRival_) != compromisoRival_) {
        faltas << QStringLiteral("Los barcos que ha enseñado tu contrincante no son los que "
                                 "colocó al empezar la partida.");
    } else if (!blnFlotaValida(flota)) {
        faltas << QStringLiteral("Los barcos que ha enseñado tu contrincante no forman una "
                                 "flota válida.");
    } else {
        for (const Mentira& m : Mentiras(flota, respuestas_))
            faltas << strMentira(m);
    }

    if (faltas.isEmpty()) {
        cuadros_.EscribirEnHistorial(QStringLiteral(
            "Se han comprobado los barcos de tu contrincante: todas sus respuestas eran ciertas."));
    } else {
        for (const QString& f : faltas)
            cuadros_.EscribirEnHistorial(f);
        cuadros_.EscribirEnHistorial(QStringLiteral("¡Tu CONTRINCANTE HA HECHO TRAMPA!"));
        QString texto = faltas.first();
        if (faltas.size() > 1)
            texto += QStringLiteral(" (Y %1 respuestas falsas más.)").arg(faltas.size() - 1);
        MsgBox(texto + QStringLiteral("\n\nTu contrincante ha hecho trampa."),
               QStringLiteral("¡Tramposo!"), Icono::Exclamacion);
    }
    if (blnSolucion_) {
        blnSolucion_ = false;
        vista_.MostrarSolucion();
    }
}

} // namespace brumaria
