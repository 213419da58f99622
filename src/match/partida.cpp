#include "match/partida.h"

#include "core/flota.h"
#include "core/modprincipal.h"
#include "match/red_partida.h"
#include "match/vista_partida.h"
#include "options/opciones.h"
#include "platform/mensajes.h"
#include "logs/cuadros_de_texto.h"

#include <QDateTime>
#include <QLocale>

namespace brumaria {

namespace {

QString strNombreResultado(int intResultado) {
    switch (intResultado) {
    case 0:
        return QStringLiteral("Agua");
    case 1:
        return QStringLiteral("Tocado");
    case 2:
        return QStringLiteral("Hundido");
    default:
        return QString();
    }
}

} // namespace

Partida::Partida(ModPrincipal& principal, ModOpciones& opciones, ModCuadrosDeTexto& cuadros,
                 VistaPartida& vista, QObject* parent)
    : QObject(parent), principal_(principal), opciones_(opciones), cuadros_(cuadros),
      vista_(vista), limpio_(principal, cuadros, vista) {
    // Only the computer's pause uses this timer; each arming fires once.
    tmrReloj.setSingleShot(true);
    tmrReloj.setTimerType(Qt::PreciseTimer);
    connect(&tmrReloj, &QTimer::timeout, this, &Partida::tmrReloj_Timer);
}

// Over the network, and with the other player there to hear it.
bool Partida::blnEnRed() const {
    return blnJugarEnRed_ && red_ && red_->Estado() == EstadoConexion::Conectados;
}

int Partida::intTerminarPartida() const {
    if (!blnJugarEnRed_) return principal_.intTerminarPartida();
    // The other's fleet is secret until the end: his board is won once his
    // answers have named a whole fleet's worth of pieces.
    if (intContarCasillas(principal_.intDescubiertoOrdenador, CASILLA_BARCO) >= kPiezasFlota)
        return 1;
    return principal_.blnFlotaDescubierta(0) ? 2 : 0;
}

void Partida::VerSolucion() {
    if (blnJugarEnRed_)
        limpio_.VerSolucion();
    else
        vista_.MostrarSolucion();
}

QString Partida::strGanaContrario() const {
    return blnJugarEnRed_ ? QStringLiteral("¡Él gana!") : QStringLiteral("¡Yo gano!");
}

void Partida::Empezar(bool blnEmpiezaJugador) {
    tmrReloj.stop();
    if (blnEmpiezaJugador) {
        MostrarTurnoJugador(0);
        TurnoJugador();
    } else {
        MostrarTurnoContrincante(0);
        TurnoOrdenador();
    }
}

void Partida::SonidoResultado(int intResultado) {
    const RegistroOpciones& o = opciones_.Opciones;
    if (intResultado == 0 && o.blnSonidosAgua)
        vista_.Sonido(o.strSonidoAgua);
    else if (intResultado == 1 && o.blnSonidosBarco)
        vista_.Sonido(o.strSonidoBarco);
    else if (intResultado == 2 && o.blnSonidosHundido)
        vista_.Sonido(o.strSonidoHundido);
}

void Partida::MostrarTurnoJugador(int intEstado) {
    if (intEstado != 0 && intEstado != 1) return;
    vista_.HabilitarRespuestas(false);
    if (opciones_.Opciones.intMetodoAtaque == 3) vista_.EntradaTeclado(intEstado == 0);
    vista_.EscribirEstado(2, intEstado == 0 ? QStringLiteral("Tu turno (tienes que atacar)")
                                            : QStringLiteral("Tu turno (esperas respuesta)"));
    estado_ = intEstado == 0 ? EstadoTurno::JugadorAtaca : EstadoTurno::JugadorEspera;
}

void Partida::MostrarTurnoContrincante(int intEstado) {
    if (intEstado != 0 && intEstado != 1) return;
    vista_.HabilitarRespuestas(intEstado == 1);
    if (opciones_.Opciones.intMetodoAtaque == 3) vista_.EntradaTeclado(false);
    QString strTexto;
    if (intEstado == 0)
        strTexto = blnJugarEnRed_ ? QStringLiteral("Su turno (tiene que atacar)")
                                  : QStringLiteral("Mi turno (pensando ataque...)");
    else
        strTexto = blnJugarEnRed_ ? QStringLiteral("Su turno (tienes que responder)")
                                  : QStringLiteral("Mi turno (tienes que responder)");
    vista_.EscribirEstado(2, strTexto);
    estado_ = intEstado == 0 ? EstadoTurno::ContrincanteAtaca : EstadoTurno::JugadorResponde;
}

void Partida::TurnoJugador() {
    if (opciones_.Opciones.intMetodoAtaque == 3) vista_.EnfocarColumna();
}

void Partida::TurnoJugador2(int intFila, int intColumna) {
    // One shot per turn: a second click before the answer is not a second shot.
    if (estado_ != EstadoTurno::JugadorAtaca) return;
    if (blnJugarEnRed_) {
        intFilaDisparo_ = intFila;
        intColumnaDisparo_ = intColumna;
        if (red_) red_->EnviarAtaque(intFila, intColumna);
        MostrarTurnoJugador(1);
        return;
    }
    MostrarTurnoJugador(1);
    const int intResultado = principal_.intComprobarAtaque(intFila, intColumna);
    TurnoJugador3(intResultado, intFila, intColumna);
}

void Partida::TurnoJugador3(int intResultado, int intFila, int intColumna) {
    // A stray or repeated answer, or one that comes after the match ended
    // (an error box runs its own event loop), must not hand out turns.
    if (estado_ != EstadoTurno::JugadorEspera) return;
    if (intResultado < 0 || intResultado > 2) {
        // Not a valid target (or an answer we cannot read): choose again.
        MostrarTurnoJugador(0);
        vista_.VaciarCajasAtaque();
        return;
    }

    const QString strResultado = strNombreResultado(intResultado);
    SonidoResultado(intResultado);
    if (intResultado == 2) ContabilizarBarcoHundido(intFila, intColumna, false);
    vista_.EscribirEstado(
        1, (blnJugarEnRed_ ? QStringLiteral("Su respuesta: ") : QStringLiteral("Mi respuesta: ")) +
               strResultado);
    cuadros_.EscribirEnHistorial(QStringLiteral("Jugador\t\t") + strCasilla(intFila, intColumna) +
                                 QLatin1Char('\t') + strResultado);

    vista_.OcultarDisparo();
    vista_.MostrarPanel(3);

    if (intTerminarPartida() != 0) {
        estado_ = EstadoTurno::SinPartida;
        MsgBox(QStringLiteral("¡Tu ganas!"), kTituloPrograma, Icono::Informacion);
        cuadros_.EscribirEnHistorial(QStringLiteral("¡El JUGADOR GANA la partida!"));
        FinDePartida();
        return;
    }

    if (intResultado == 0) {
        MostrarTurnoContrincante(0);
        TurnoOrdenador();
    } else {
        // A hit or a sinking earns another shot.
        MostrarTurnoJugador(0);
        TurnoJugador();
    }
}

void Partida::TurnoOrdenador() {
    if (blnJugarEnRed_) return; // the peer's shot arrives as a message
    principal_.AtaqueOrdenador();
    const RegistroOpciones& o = opciones_.Opciones;
    if (!o.blnTiempoRespuesta) {
        TurnoOrdenador2();
        return;
    }
    // The choice is made; only its display waits.
    tmrReloj.start(qMax(0, o.intTiempoRespuesta));
}

void Partida::tmrReloj_Timer() {
    tmrReloj.stop();
    TurnoOrdenador2();
}

void Partida::TurnoOrdenador2() {
    vista_.MarcarAtaque(principal_.intFilaAtaque, principal_.intColumnaAtaque, false);
    MostrarTurnoContrincante(1);
    vista_.HabilitarRespuestas(true);
}

void Partida::cmdAgua_Click() {
    Responder(0);
}
void Partida::cmdTocado_Click() {
    Responder(1);
}
void Partida::cmdHundido_Click() {
    Responder(2);
}

void Partida::Responder(int intRespuesta) {
    // A click that arrives after the answer was taken (or with no shot to
    // answer) must not answer a second time.
    if (estado_ != EstadoTurno::JugadorResponde) return;

    const int intFila = principal_.intFilaAtaque;
    const int intColumna = principal_.intColumnaAtaque;
    const bool blnBarco = principal_.intLeerCasilla(intFila, intColumna, 0) == CASILLA_BARCO;
    const bool blnHundido = blnBarco && principal_.blnHundido(intFila, intColumna, 0);

    bool blnVerdad = false;
    switch (intRespuesta) {
    case 0:
        blnVerdad = principal_.intLeerCasilla(intFila, intColumna, 0) == CASILLA_AGUA;
        break;
    case 1:
        blnVerdad = blnBarco && !blnHundido;
        break;
    default:
        blnVerdad = blnBarco && blnHundido;
        break;
    }
    if (!blnVerdad) {
        AvisarTramposo();
        return;
    }

    // Taken: a second click on the way through cannot answer again.
    estado_ = EstadoTurno::ContrincanteAtaca;
    const QString strRespuesta = strNombreResultado(intRespuesta);
    vista_.MarcarAtaque(intFila, intColumna, true);
    SonidoResultado(intRespuesta);
    if (intRespuesta == 2) ContabilizarBarcoHundido(intFila, intColumna, true);
    if (blnEnRed()) red_->EnviarRespuesta(intFila, intColumna, intRespuesta);
    vista_.EscribirEstado(
        1, (blnJugarEnRed_ ? QStringLiteral("Su respuesta: ") : QStringLiteral("Tu respuesta: ")) +
               strRespuesta);
    cuadros_.EscribirEnHistorial(
        (blnJugarEnRed_ ? QStringLiteral("Contrincante") : QStringLiteral("Ordenador")) +
        QLatin1Char('\t') + strCasilla(intFila, intColumna) + QLatin1Char('\t') + strRespuesta);
    if (intRespuesta == 2) principal_.OlvidarTocado();
    TurnoOrdenador3();
}

void Partida::AvisarTramposo() {
    MsgBox(blnJugarEnRed_ ? QStringLiteral("Me parece que le quieres engañar...")
                          : QStringLiteral("Me parece que me quieres engañar..."),
           QStringLiteral("¡Tramposo!"), Icono::Exclamacion);
    if (blnEnRed()) red_->EnviarHistorial(QStringLiteral("Ay ay ay, tu adversario te quería engañar..."));
}

void Partida::TurnoOrdenador3() {
    if (intTerminarPartida() != 0) {
        estado_ = EstadoTurno::SinPartida;
        MsgBox(strGanaContrario(), kTituloPrograma, Icono::Informacion);
        cuadros_.EscribirEnHistorial(blnJugarEnRed_
                                         ? QStringLiteral("¡Tu CONTRINCANTE GANA la partida!")
                                         : QStringLiteral("¡El ORDENADOR GANA la partida!"));
        const Respuesta r =
            MsgBox(blnJugarEnRed_ ? QStringLiteral("¿Quieres ver dónde estaban sus barcos?")
                                 : QStringLiteral("¿Quieres ver dónde estaban mis barcos?"),
                   QStringLiteral("Solución"), Icono::Pregunta, Botones::SiNo);
        if (r == Respuesta::Si) VerSolucion();
        FinDePartida();
        return;
    }

    if (principal_.intLeerCasilla(principal_.intFilaAtaque, principal_.intColumnaAtaque, 0) ==
        CASILLA_BARCO) {
        // The opponent hit: it shoots again.
        MostrarTurnoContrincante(0);
        TurnoOrdenador();
    } else {
        MostrarTurnoJugador(0);
        TurnoJugador();
    }
}

void Partida::FinDePartida() {
    // A pause still running would otherwise show a shot after the end.
    tmrReloj.stop();
    if (blnEnRed()) {
        red_->EnviarFinDePartida();
        limpio_.Revelar();
    }
    estado_ = EstadoTurno::SinPartida;
    vista_.OcultarDisparo();
    vista_.QuitarNegritaEtiquetas();
    vista_.EntradaTeclado(false);
    vista_.HabilitarRespuestas(false);
    vista_.EscribirEstado(1, QString());
    vista_.EscribirEstado(2, QString());
    cuadros_.EscribirEnHistorial(
        QStringLiteral("Fin ") +
        QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    cuadros_.EscribirEnHistorial(QString());
    cuadros_.EscribirEnHistorial(QString());
    if (alTerminar) alTerminar();
    limpio_.PartidaTerminada();
}

void Partida::ContabilizarBarcoHundido(int intFila, int intColumna, bool blnBarcoDeJugador) {
    const int intLongitud = principal_.intLongitudHundido(intFila, intColumna, blnBarcoDeJugador);
    if (intLongitud >= 1 && intLongitud <= 4) vista_.ContarHundido(blnBarcoDeJugador, intLongitud);
}

void Partida::RecibirAtaque(int intFila, int intColumna) {
    if (!blnJugarEnRed_ || estado_ != EstadoTurno::ContrincanteAtaca) return;
    if (principal_.intLeerCasilla(intFila, intColumna, 1) != CASILLA_OCULTA) {
        cuadros_.EscribirEnHistorial(
            QStringLiteral("El contrincante ha atacado en (") + strLetraColumna(intColumna) +
            QStringLiteral(",") + strNumeroFila(intFila) +
            QStringLiteral("), esta casilla ya estaba descubierta así que hay que esperar a que "
                           "ataque de nuevo"));
        // The reply names the last attack that was taken, as the peer expects.
        if (blnEnRed())
            red_->EnviarRespuesta(principal_.intFilaAtaque, principal_.intColumnaAtaque, 3);
        return;
    }
    principal_.blnEscribirCasilla(intFila, intColumna, 1,
                                  principal_.intLeerCasilla(intFila, intColumna, 0));
    principal_.intFilaAtaque = static_cast<std::int16_t>(intFila);
    principal_.intColumnaAtaque = static_cast<std::int16_t>(intColumna);
    TurnoOrdenador2();
}

void Partida::RecibirRespuesta(int intFila, int intColumna, int intResultado) {
    if (!blnJugarEnRed_ || estado_ != EstadoTurno::JugadorEspera) return;
    if (intResultado == 3) {
        limpio_.AnotarRespuesta(intFilaDisparo_, intColumnaDisparo_, 3);
        MsgBox(QStringLiteral("La casilla elegida ya está descubierta"), QStringLiteral("Error"),
               Icono::Critico);
        TurnoJugador3(3, intFilaDisparo_, intColumnaDisparo_); // ignored if the match moved on
        return;
    }
    // The answer names the square it answers; anything else is not ours.
    if (intResultado < 0 || intResultado > 2 || intFila != intFilaDisparo_ ||
        intColumna != intColumnaDisparo_)
        return;
    limpio_.AnotarRespuesta(intFila, intColumna, intResultado);
    principal_.blnEscribirCasilla(intFila, intColumna, 3,
                                  intResultado == 0 ? CASILLA_AGUA : CASILLA_BARCO);
    TurnoJugador3(intResultado, intFila, intColumna);
    vista_.OcultarDisparo();
    vista_.MostrarPanel(3);
}

} // namespace brumaria
