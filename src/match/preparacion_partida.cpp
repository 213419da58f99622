#include "match/preparacion_partida.h"

#include "core/azar.h"
#include "match/partida.h"
#include "match/vista_partida.h"
#include "platform/mensajes.h"
#include "logs/cuadros_de_texto.h"

#include <QDateTime>
#include <QLocale>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace brumaria {

namespace {

using E = EstadoPreparacion;
using V = EventoPreparacion;

// Counts a step that waits in a dialog or lets events run while it places
// a fleet: a new set-up must not start inside it.
class EnCurso {
public:
    explicit EnCurso(int& n) : n_(n) { ++n_; }
    ~EnCurso() { --n_; }
    EnCurso(const EnCurso&) = delete;
    EnCurso& operator=(const EnCurso&) = delete;

private:
    int& n_;
};

// The first turn of one match: "Al azar" is an even chance.
bool blnSortear(QuienEmpieza quien) {
    if (quien == QuienEmpieza::AlAzar) return Azar::intAleatorio(2) == 1;
    return quien == QuienEmpieza::Jugador;
}

} // namespace

PreparacionPartida::PreparacionPartida(ModPrincipal& principal, ModOpciones& opciones,
                                       ModCuadrosDeTexto& cuadros, Partida& partida,
                                       VistaPreparacion& vista, QObject* parent)
    : QObject(parent), principal_(principal), opciones_(opciones), cuadros_(cuadros),
      partida_(partida), vista_(vista) {
    partida_.alTerminar = [this] { Pasar(V::FinDePartida); };
}

PreparacionPartida::~PreparacionPartida() {
    partida_.alTerminar = nullptr;
}

EstadoConexion PreparacionPartida::Conexion() const {
    return red_ ? red_->Estado() : EstadoConexion::SinConexion;
}

bool PreparacionPartida::blnHost() const {
    return red_ && red_->blnEsHost();
}

bool PreparacionPartida::blnQuienEmpiezaSabido() const {
    return !blnJugarEnRed_ || blnHost() || rival_.blnEmpiezaJugador.has_value();
}

void PreparacionPartida::ActualizarMenus() {
    vista_.AplicarMenus(CalcularMenus(estado_, Conexion()));
}

// The one place the set-up changes state.
void PreparacionPartida::Pasar(EventoPreparacion evento) {
    const E antes = estado_;
    const E despues = SiguienteEstado(antes, evento, blnJugarEnRed_, blnQuienEmpiezaSabido());
    if (despues == antes) return;
    estado_ = despues;
    ++intVez_;
    if (antes == E::Colocando && despues != E::EsperandoFlotaContraria && despues != E::EnPartida)
        vista_.CerrarColocarBarcos(); // given up: the editor goes, placing nothing
    ActualizarMenus();
    // A set-up that got past its dialog ends as a match does: "Fin" in the
    // history, the controls reset, the other player told.
    if (despues == E::Inactiva && antes != E::Eligiendo && evento != V::FinDePartida)
        partida_.FinDePartida();
    Entrar(despues);
}

void PreparacionPartida::Entrar(EstadoPreparacion estado) {
    switch (estado) {
    case E::Eligiendo:
        Elegir();
        break;
    case E::Conectando:
        Conectar();
        break;
    case E::EsperandoContrincante:
        cuadros_.EscribirEnHistorial(QStringLiteral("Esperando al contrincante..."));
        break;
    case E::Colocando:
        Colocar();
        break;
    case E::EsperandoFlotaContraria:
        EnviarFlota();
        break;
    case E::EnPartida:
        Repartir();
        break;
    default:
        break;
    }
}

// ----------------------------------------------------------------- steps

void PreparacionPartida::EmpezarPartida() {
    if (estado_ != E::Inactiva || principal_.blnCerrando) return;
    if (intEnCurso_ > 0) {
        // The set-up before is still leaving a dialog or a placement it
        // gave up: start once it has, never inside it.
        QTimer::singleShot(10, this, &PreparacionPartida::EmpezarPartida);
        return;
    }
    Pasar(V::Empezar);
}

void PreparacionPartida::Elegir() {
    EnCurso enCurso(intEnCurso_);
    const unsigned vez = intVez_;
    // A host whose session is open chooses who starts here: no session
    // dialog follows to ask him. He is shown the choice in force.
    const bool blnQuienEnRed = blnHost() && blnConectado(Conexion());
    EleccionPartida e;
    const bool blnAceptado = vista_.blnEmpezarPartida(
        e, blnQuienEnRed ? std::optional(quienSesion_) : std::nullopt);
    if (vez != intVez_) return; // the window closed meanwhile
    if (!blnAceptado) {
        Pasar(V::Cancelar);
        return;
    }
    blnJugarEnRed_ = e.blnJugarEnRed;
    blnColocaJugador_ = e.blnColocaJugador;
    partida_.FijarJugarEnRed(blnJugarEnRed_);

    cuadros_.EscribirEnHistorial(QString());
    cuadros_.EscribirEnHistorial(QString(61, QLatin1Char('-')));
    cuadros_.EscribirEnHistorial(QStringLiteral("EMPIEZA UNA PARTIDA"));
    cuadros_.EscribirEnHistorial(
        QStringLiteral("Comienzo: ") +
        QLocale::system().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    principal_.LlenarPanel(0, CASILLA_AGUA);
    principal_.LlenarPanel(2, CASILLA_AGUA);
    vista_.PrepararTableros();
    vista_.QuitarNegritaEtiquetas();

    if (!blnJugarEnRed_) {
        blnEmpiezaJugador_ = blnSortear(e.quienEmpieza);
        // The computer's fleet first, so the editor and "Ver los barcos del
        // contrincante..." find it in place.
        principal_.PrepararBarcos(2);
        principal_.PrepararBarcos(3);
        if (vez != intVez_ || principal_.blnCerrando) return;
        Pasar(V::ContraOrdenador);
        return;
    }

    cuadros_.EscribirEnHistorial(QString());
    cuadros_.EscribirEnHistorial(QStringLiteral("Partida multijugador"));
    if (blnQuienEnRed) quienSesion_ = e.quienEmpieza;
    const EstadoConexion c = Conexion();
    if (c == EstadoConexion::Conectados) {
        Pasar(V::SesionConRival); // a new match in the same session
    } else if (blnHost() && blnConectado(c)) {
        Pasar(V::SesionSinRival); // the host's session waits for someone new
    } else {
        // A joiner whose host has gone starts over with a new session.
        if (red_ && c != EstadoConexion::SinConexion) red_->TerminarConexion();
        Pasar(V::Conectar);
    }
}

void PreparacionPartida::Conectar() {
    EnCurso enCurso(intEnCurso_);
    const unsigned vez = intVez_;
    ResultadoConexion r;
    if (red_) {
        red_->IniciarDPlay();
        r = vista_.AbrirConexion();
        if (vez != intVez_) return; // the window closed meanwhile
    }
    const EstadoConexion c = Conexion();
    const bool blnSirve =
        r.blnConectado && (c == EstadoConexion::Conectados ||
                           (blnHost() && c == EstadoConexion::Anfitrion));
    if (!blnSirve) {
        if (red_) red_->TerminarConexion();
        cuadros_.EscribirEnHistorial(QStringLiteral("Partida multijugador cancelada"));
        Pasar(V::Cancelar);
        return;
    }
    if (blnHost()) {
        quienSesion_ = r.quienEmpieza.value_or(QuienEmpieza::AlAzar);
        vista_.EscribirEstado(3, QStringLiteral("Nombre de sesión: ") + r.strNombreSesion +
                                     QStringLiteral(" (HOST)"));
    }
    Pasar(c == EstadoConexion::Conectados ? V::SesionConRival : V::SesionSinRival);
}

void PreparacionPartida::Colocar() {
    EnCurso enCurso(intEnCurso_);
    const unsigned vez = intVez_;
    if (blnJugarEnRed_) {
        intPareja_ = std::max(intPareja_, intFinesRival_) + 1;
        if (blnHost()) {
            // The session's choice, drawn for this match if it is "Al azar";
            // over the wire: whether the receiver starts.
            blnEmpiezaJugador_ = blnSortear(quienSesion_);
            red_->EnviarQuienEmpieza(!blnEmpiezaJugador_);
            cuadros_.EscribirEnHistorial(blnEmpiezaJugador_
                                             ? QStringLiteral("Tú empiezas")
                                             : QStringLiteral("Tu contrincante empieza"));
        }
        EscribirLoDelRival();
        red_->EnviarHistorial(red_->strNombreUsuario() +
                              QStringLiteral(" está colocando sus barcos"));
        // His fleet stays with him until the end: panel 2 stays empty.
        principal_.LlenarPanel(2, CASILLA_AGUA);
        principal_.PrepararBarcos(3);
    }
    if (blnColocaJugador_) {
        vista_.AbrirColocarBarcos();
        return;
    }
    principal_.PrepararBarcos(0);
    if (vez != intVez_ || principal_.blnCerrando) return; // given up while placing
    BarcosColocados();
}

void PreparacionPartida::BarcosColocados() {
    if (estado_ != E::Colocando) return;
    principal_.PrepararBarcos(1);
    Pasar(V::FlotaColocada);
}

void PreparacionPartida::EnviarFlota() {
    partida_.juegoLimpio().Comprometer();
    red_->EnviarHistorial(red_->strNombreUsuario() +
                          QStringLiteral(" ha terminado de colocar sus barcos"));
    if (rival_.blnListos) Pasar(V::FlotaContrariaLista);
}

void PreparacionPartida::Repartir() {
    if (blnJugarEnRed_) {
        partida_.juegoLimpio().Empezar(rival_.compromiso.value_or(QByteArray()));
        if (!blnHost()) blnEmpiezaJugador_ = rival_.blnEmpiezaJugador.value_or(false);
        OlvidarRival(); // used: whatever comes now belongs to the next match
    }
    vista_.MostrarPanel(0);
    vista_.MostrarPanel(3);
    partida_.Empezar(blnEmpiezaJugador_);
}

void PreparacionPartida::AnunciarQuienEmpieza() {
    const bool blnBloqueAbierto = estado_ == E::Conectando || estado_ == E::Colocando ||
                                  estado_ == E::EsperandoFlotaContraria ||
                                  estado_ == E::EsperandoQuienEmpieza;
    if (!blnJugarEnRed_ || blnHost() || !blnBloqueAbierto || !rival_.blnEmpiezaJugador ||
        rival_.blnAnunciado)
        return;
    rival_.blnAnunciado = true;
    cuadros_.EscribirEnHistorial(*rival_.blnEmpiezaJugador
                                     ? QStringLiteral("Tú empiezas")
                                     : QStringLiteral("Tu contrincante empieza"));
}

// The other is on a match whose block this side's history has not opened
// yet: he began it first. His match is the one after those he has ended;
// this side's block, the one it connects for, sets up or plays, else its
// last one.
bool PreparacionPartida::blnRivalPorDelante() const {
    const int intBloque = blnJugarEnRed_ && estado_ == E::Conectando
                              ? std::max(intPareja_, intFinesRival_) + 1
                              : intPareja_;
    return intFinesRival_ + 1 > intBloque;
}

void PreparacionPartida::EscribirLoDelRival() {
    AnunciarQuienEmpieza();
    if (!blnRivalPorDelante()) SoltarLineasRival();
}

void PreparacionPartida::SoltarLineasRival() {
    for (const QString& l : std::exchange(rival_.lineas, {}))
        cuadros_.EscribirEnHistorial(l);
}

// What he said of a match that is over or used; lines still held are
// written where the history is now.
void PreparacionPartida::OlvidarRival() {
    SoltarLineasRival();
    rival_ = {};
}

// ----------------------------------------------------- menus and buttons

void PreparacionPartida::CancelarEspera() {
    if (estado_ == E::EsperandoContrincante) Pasar(V::Cancelar);
}

bool PreparacionPartida::blnDarPorPerdida() {
    auto viva = [this] {
        return blnPartidaPreparada(estado_) &&
               (estado_ != E::EnPartida || partida_.blnEnPartida());
    };
    if (!viva()) return false;
    MsgBox(QStringLiteral("Has cancelado la partida, has perdido."),
           QStringLiteral("Fin de partida"), Icono::Informacion);
    if (!viva()) return false; // it ended while the box was open
    cuadros_.EscribirEnHistorial(QStringLiteral("Has perdido"));
    return true;
}

void PreparacionPartida::mnuJuegoTerminarPartida_Click() {
    if (blnDarPorPerdida()) partida_.FinDePartida();
}

void PreparacionPartida::VerBarcos() {
    auto viva = [this] {
        return blnPartidaPreparada(estado_) &&
               (estado_ != E::EnPartida || partida_.blnEnPartida());
    };
    // A click queued behind the end of the match finds nothing to give up.
    if (!viva()) return;
    const Respuesta r = MsgBox(QStringLiteral("Si ves los barcos del adversario se terminará la "
                                              "partida y perderás. ¿Quieres continuar?"),
                               QStringLiteral("Atención"), Icono::Pregunta, Botones::SiNo);
    if (r != Respuesta::Si || !viva()) return;
    partida_.FinDePartida();
    MsgBox(partida_.strGanaContrario(), kTituloPrograma, Icono::Informacion);
    partida_.VerSolucion();
}

void PreparacionPartida::mnuJuegoTerminarConexion_Click() {
    if (blnDarPorPerdida()) partida_.FinDePartida();
    if (red_) red_->TerminarConexion();
}

void PreparacionPartida::Cerrar() {
    Pasar(V::Cerrar);
    if (red_ && Conexion() != EstadoConexion::SinConexion) red_->TerminarConexion();
}

// ------------------------------------------------- the other player's word

void PreparacionPartida::RecibirQuienEmpieza(bool blnEmpiezaJugador) {
    // Only the host says who starts, once a match; never into a match
    // that is being played.
    if (blnHost() || rival_.blnEmpiezaJugador) return;
    if (estado_ == E::EnPartida && partida_.blnEnPartida()) return;
    rival_.blnEmpiezaJugador = blnEmpiezaJugador;
    AnunciarQuienEmpieza();
    if (estado_ == E::EsperandoQuienEmpieza) Pasar(V::QuienEmpiezaSabido);
}

void PreparacionPartida::RecibirCompromiso(const QByteArray& huella) {
    if (estado_ == E::EnPartida && partida_.blnEnPartida()) return;
    // One commitment a match; a second one cannot replace it.
    if (rival_.blnListos || rival_.compromiso) return;
    rival_.compromiso = huella;
}

void PreparacionPartida::RecibirBarcosListos() {
    if (estado_ == E::EnPartida && partida_.blnEnPartida()) return;
    if (rival_.blnListos || !rival_.compromiso) return;
    rival_.blnListos = true;
    if (estado_ == E::EsperandoFlotaContraria) Pasar(V::FlotaContrariaLista);
}

void PreparacionPartida::RecibirFinDePartida() {
    // Whatever match it closes, his fleet may be shown right after it.
    partida_.juegoLimpio().RivalTermino();
    ++intFinesRival_;
    OlvidarRival(); // whatever he was setting up is over
    if (intFinesRival_ < intPareja_) return; // the end of an earlier match, told late
    auto viva = [this] {
        return blnJugarEnRed_ && blnPartidaPreparada(estado_) &&
               (estado_ != E::EnPartida || partida_.blnEnPartida());
    };
    if (!viva()) return;
    MsgBox(QStringLiteral("Tu adversario ha cancelado la partida, ¡tú ganas!"),
           QStringLiteral("Fin de partida"), Icono::Informacion);
    if (!viva()) return; // the box runs its own event loop
    cuadros_.EscribirEnHistorial(QStringLiteral("Has ganado"));
    Pasar(V::RivalSeVa);
}

void PreparacionPartida::RecibirHistorial(const QString& strLinea) {
    // Held for the block of his match; a peer that piles up more has them
    // written as they come.
    rival_.lineas << strLinea;
    if (!blnRivalPorDelante() || rival_.lineas.size() > kMaxLineasRival) SoltarLineasRival();
}

void PreparacionPartida::ConexionCambiada() {
    const EstadoConexion antes = conexion_;
    const EstadoConexion ahora = Conexion();
    conexion_ = ahora;
    ActualizarMenus();
    if (ahora == antes) return;
    if (ahora == EstadoConexion::Conectados) {
        // Someone new: matches are counted afresh with him.
        OlvidarRival();
        intPareja_ = 0;
        intFinesRival_ = 0;
    } else if (antes == EstadoConexion::Conectados || !blnConectado(ahora)) {
        OlvidarRival();
    }
    if (estado_ == E::EsperandoContrincante) {
        if (ahora == EstadoConexion::Conectados)
            Pasar(V::LlegaRival);
        else if (!blnConectado(ahora))
            Pasar(V::ConexionTerminada);
        return;
    }
    if (ahora == EstadoConexion::RivalIdo) {
        Pasar(V::RivalSeVa);
        partida_.juegoLimpio().RivalSeFue();
    } else if (ahora == EstadoConexion::SinConexion) {
        Pasar(V::ConexionTerminada);
        // Left by this side: a check still waiting would otherwise be given
        // up at the next match, with whoever plays it.
        partida_.juegoLimpio().ConexionTerminada();
    }
}

} // namespace brumaria
