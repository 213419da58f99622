#include "match/partida.h"

#include "core/modprincipal.h"
#include "match/vista_partida.h"
#include "options/opciones.h"
#include "platform/mensajes.h"
#include "ui/logs/cuadros_de_texto.h"

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

QString strGanaContrario(bool blnJugarEnRed) {
    return blnJugarEnRed ? QStringLiteral("¡Él gana!") : QStringLiteral("¡Yo gano!");
}

} // namespace

Partida::Partida(ModPrincipal& principal, ModOpciones& opciones, ModCuadrosDeTexto& cuadros,
                 VistaPartida& vista, QObject* parent)
    : QObject(parent), principal_(principal), opciones_(opciones), cuadros_(cuadros),
      vista_(vista) {
    // Only the computer's pause uses this timer; each arming fires once.
    tmrReloj.setSingleShot(true);
    tmrReloj.setTimerType(Qt::PreciseTimer);
    connect(&tmrReloj, &QTimer::timeout, this, &Partida::tmrReloj_Timer);
}

void Partida::Enviar(const QString& strMensaje) {
    if (blnJugarEnRed && emisor_) emisor_->EnviarMensaje(strMensaje);
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
    blnTurnoJugadorAtaque = intEstado == 0;
}

void Partida::MostrarTurnoContrincante(int intEstado) {
    if (intEstado != 0 && intEstado != 1) return;
    vista_.HabilitarRespuestas(intEstado == 1);
    if (opciones_.Opciones.intMetodoAtaque == 3) vista_.EntradaTeclado(false);
    QString strTexto;
    if (intEstado == 0)
        strTexto = blnJugarEnRed ? QStringLiteral("Su turno (tiene que atacar)")
                                 : QStringLiteral("Mi turno (pensando ataque...)");
    else
        strTexto = blnJugarEnRed ? QStringLiteral("Su turno (tienes que responder)")
                                 : QStringLiteral("Mi turno (tienes que responder)");
    vista_.EscribirEstado(2, strTexto);
    blnTurnoJugadorAtaque = false;
}

void Partida::TurnoJugador() {
    if (opciones_.Opciones.intMetodoAtaque == 3) vista_.EnfocarColumna();
}

void Partida::TurnoJugador2(int intFila, int intColumna) {
    // One shot per turn: a second click before the answer is not a second shot.
    if (!blnTurnoJugadorAtaque) return;
    if (blnJugarEnRed) {
        Enviar(QStringLiteral("0;2;%1;%2").arg(intFila).arg(intColumna));
        MostrarTurnoJugador(1);
        blnEsperandoResultado_ = true;
        return;
    }
    MostrarTurnoJugador(1);
    const int intResultado = principal_.intComprobarAtaque(intFila, intColumna);
    TurnoJugador3(intResultado, intFila, intColumna);
}

void Partida::TurnoJugador3(int intResultado, int intFila, int intColumna) {
    if (blnJugarEnRed) {
        // A stray or repeated answer from the peer must not hand out turns.
        if (!blnEsperandoResultado_) return;
        blnEsperandoResultado_ = false;
    }
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
        1, (blnJugarEnRed ? QStringLiteral("Su respuesta: ") : QStringLiteral("Mi respuesta: ")) +
               strResultado);
    cuadros_.EscribirEnHistorial(QStringLiteral("Jugador\t\t") + strCasilla(intFila, intColumna) +
                                 QLatin1Char('\t') + strResultado);

    vista_.OcultarDisparo();
    vista_.MostrarPanel(3);

    if (principal_.intTerminarPartida() != 0) {
        blnEnPartida = false;
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
    if (blnJugarEnRed) return; // the peer's shot arrives as a message
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
    blnEsperandoRespuesta_ = true;
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
    if (!blnEsperandoRespuesta_) return;

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

    blnEsperandoRespuesta_ = false;
    const QString strRespuesta = strNombreResultado(intRespuesta);
    vista_.MarcarAtaque(intFila, intColumna, true);
    SonidoResultado(intRespuesta);
    if (intRespuesta == 2) ContabilizarBarcoHundido(intFila, intColumna, true);
    Enviar(QStringLiteral("0;3;%1;%2;%3").arg(intFila).arg(intColumna).arg(intRespuesta));
    vista_.EscribirEstado(
        1, (blnJugarEnRed ? QStringLiteral("Su respuesta: ") : QStringLiteral("Tu respuesta: ")) +
               strRespuesta);
    cuadros_.EscribirEnHistorial(
        (blnJugarEnRed ? QStringLiteral("Contrincante") : QStringLiteral("Ordenador")) +
        QLatin1Char('\t') + strCasilla(intFila, intColumna) + QLatin1Char('\t') + strRespuesta);
    if (intRespuesta == 2) principal_.OlvidarTocado();
    TurnoOrdenador3();
}

void Partida::AvisarTramposo() {
    MsgBox(blnJugarEnRed ? QStringLiteral("Me parece que le quieres engañar...")
                         : QStringLiteral("Me parece que me quieres engañar..."),
           QStringLiteral("¡Tramposo!"), Icono::Exclamacion);
    Enviar(QStringLiteral("2;Ay ay ay, tu adversario te quería engañar..."));
}

void Partida::TurnoOrdenador3() {
    if (principal_.intTerminarPartida() != 0) {
        blnEnPartida = false;
        MsgBox(strGanaContrario(blnJugarEnRed), kTituloPrograma, Icono::Informacion);
        cuadros_.EscribirEnHistorial(blnJugarEnRed
                                         ? QStringLiteral("¡Tu CONTRINCANTE GANA la partida!")
                                         : QStringLiteral("¡El ORDENADOR GANA la partida!"));
        const Respuesta r =
            MsgBox(blnJugarEnRed ? QStringLiteral("¿Quieres ver dónde estaban sus barcos?")
                                 : QStringLiteral("¿Quieres ver dónde estaban mis barcos?"),
                   QStringLiteral("Solución"), Icono::Pregunta, Botones::SiNo);
        if (r == Respuesta::Si) vista_.MostrarSolucion();
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
    blnEsperandoRespuesta_ = false;
    blnEsperandoResultado_ = false;

    Enviar(QStringLiteral("0;0;FinDePartida:Sí"));
    blnTurnoJugadorAtaque = false;
    blnEnPartida = false;
    vista_.OcultarDisparo();
    vista_.QuitarNegritaEtiquetas();
    vista_.EntradaTeclado(false);
    vista_.HabilitarRespuestas(false);
    vista_.MostrarMenu(MenuJuego::VerLosBarcosDelContrincante, false);
    if (!blnJugarEnRed) vista_.MostrarMenu(MenuJuego::Empezar, true);
    vista_.MostrarMenu(MenuJuego::TerminarPartida, false);
    vista_.EscribirEstado(1, QString());
    vista_.EscribirEstado(2, QString());
    cuadros_.EscribirEnHistorial(
        QStringLiteral("Fin ") +
        QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    cuadros_.EscribirEnHistorial(QString());
    cuadros_.EscribirEnHistorial(QString());
}

void Partida::VerBarcos() {
    const Respuesta r = MsgBox(QStringLiteral("Si ves los barcos del adversario se terminará la "
                                              "partida y perderás. ¿Quieres continuar?"),
                               QStringLiteral("Atención"), Icono::Pregunta, Botones::SiNo);
    if (r != Respuesta::Si) return;
    FinDePartida();
    MsgBox(strGanaContrario(blnJugarEnRed), kTituloPrograma, Icono::Informacion);
    vista_.MostrarSolucion();
}

void Partida::ContabilizarBarcoHundido(int intFila, int intColumna, bool blnBarcoDeJugador) {
    const int intLongitud = principal_.intLongitudHundido(intFila, intColumna, blnBarcoDeJugador);
    if (intLongitud >= 1 && intLongitud <= 4) vista_.ContarHundido(blnBarcoDeJugador, intLongitud);
}

void Partida::EmpezarContraOrdenador(bool blnEmpieza, bool blnFlotaColocada) {
    tmrReloj.stop();
    blnEsperandoRespuesta_ = false;
    blnEsperandoResultado_ = false;
    blnJugarEnRed = false;
    blnEmpiezaJugador = blnEmpieza;

    vista_.MostrarMenu(MenuJuego::TerminarPartida, true);
    vista_.MostrarMenu(MenuJuego::Empezar, false);
    vista_.MostrarMenu(MenuJuego::VerLosBarcosDelContrincante, true);

    principal_.PrepararBarcos(2);
    principal_.PrepararBarcos(3);
    if (!blnFlotaColocada) principal_.PrepararBarcos(0);
    principal_.PrepararBarcos(1);
    if (principal_.blnCerrando) return; // the window is closing: no match to start

    vista_.MostrarPanel(0);
    vista_.MostrarPanel(3);
    if (blnEmpieza) {
        MostrarTurnoJugador(0);
        TurnoJugador();
    } else {
        MostrarTurnoContrincante(0);
        TurnoOrdenador();
    }
    blnEnPartida = true;
}

} // namespace brumaria
