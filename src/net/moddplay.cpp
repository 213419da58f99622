#include "net/moddplay.h"

#include "match/partida.h"
#include "options/opciones.h"
#include "platform/mensajes.h"
#include "ui/logs/cuadros_de_texto.h"

#include <QDateTime>

namespace brumaria {

namespace {

// Fleet of 4 + 3 + 3 + 2 + 2 + 2 + 1 + 1 + 1 + 1 squares.
constexpr int kCasillasFlota = 20;
// How long an early attack may wait for this side's start sequence.
constexpr qint64 kMaxEsperaRetenidoMs = 10000;
// Messages held behind it at most (an honest peer sends a handful).
constexpr std::size_t kMaxRetenidos = 256;

int intDigito(QChar c) {
    return (c >= u'0' && c <= u'9') ? c.unicode() - u'0' : -1;
}

// "0", "1", ... exactly: no sign, blanks or leading zeros.
int intCampo(QStringView campo) {
    if (campo.size() != 1) return -1;
    return intDigito(campo[0]);
}

} // namespace

bool blnLeerCasilla(const QString& strCuerpo, int& intFila, int& intColumna) {
    if (strCuerpo.size() != 3 || strCuerpo[1] != u';') return false;
    intFila = intDigito(strCuerpo[0]);
    intColumna = intDigito(strCuerpo[2]);
    return intFila >= 0 && intColumna >= 0;
}

QString strTextoSeguro(const QString& strTexto) {
    QString r = strTexto;
    for (QChar& c : r) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t') || u == 0x7F || u == 0x2028 || u == 0x2029 || u == 0x85)
            c = u' ';
    }
    return r;
}

ModDPlay::ModDPlay(ModPrincipal& principal, Partida& partida, ModOpciones& opciones,
                   ModCuadrosDeTexto& cuadros, VistaPartida& vista, QObject* parent)
    : QObject(parent), principal_(principal), partida_(partida), opciones_(opciones),
      cuadros_(cuadros), vista_(vista) {
    tmrRetenidos_.setInterval(10);
    connect(&tmrRetenidos_, &QTimer::timeout, this, &ModDPlay::ProcesarRetenidos);
}

ModDPlay::~ModDPlay() {
    CerrarDPlay();
}

red::DirectPlay8Peer* ModDPlay::IniciarDPlay() {
    CerrarDPlay();
    oDPP_ = std::make_unique<red::DirectPlay8Peer>();
    ReiniciarProtocolo();
    return oDPP_.get();
}

void ModDPlay::CerrarDPlay() {
    if (oDPP_) {
        oDPP_->UnRegisterMessageHandler();
        oDPP_->Close();
        // Deleting it from inside one of its own events is not safe.
        if (oDPP_->blnEntregandoEvento())
            oDPP_.release()->deleteLater();
        else
            oDPP_.reset();
    }
    lngNumJugadores = 0;
    strNombreUsuario.clear();
    blnConectado = false;
    ReiniciarProtocolo();
}

void ModDPlay::ReiniciarProtocolo() {
    for (auto& fila : flotaRecibida_)
        fila.fill(false);
    intCasillasRecibidas_ = 0;
    blnBarcosListosRecibido_ = false;
    blnQuienEmpiezaAceptado_ = false;
    blnFlotaPropiaEnviada_ = false;
    blnPartidaTerminada_ = false;
    intFilaDisparo_ = intColumnaDisparo_ = -1;
    retenidos_.clear();
    tmrRetenidos_.stop();
}

bool ModDPlay::EnviarMensaje(const QString& strMensaje) {
    if (lngNumJugadores < 2) return false;
    ObservarSalida(strMensaje);
    if (salida_) return salida_(strMensaje);
    if (!oDPP_) return false;
    oDPP_->SendTo(red::DPNID_ALL_PLAYERS_GROUP, strMensaje);
    return true;
}

// What this side says tells the protocol where its own match stands.
void ModDPlay::ObservarSalida(const QString& strMensaje) {
    int f = 0, c = 0;
    if (strMensaje.startsWith(QStringLiteral("0;2;")) && blnLeerCasilla(strMensaje.mid(4), f, c)) {
        intFilaDisparo_ = f;
        intColumnaDisparo_ = c;
    } else if (strMensaje.startsWith(QStringLiteral("0;0;BarcosListos:"))) {
        blnFlotaPropiaEnviada_ = true;
        // The start sequence clears the opponent's board before placing; a
        // fleet that arrived before that is written again now.
        for (int i = 0; i < kLado; ++i)
            for (int j = 0; j < kLado; ++j)
                if (flotaRecibida_[i][j]) principal_.blnEscribirCasilla(i, j, 2, CASILLA_BARCO);
    } else if (strMensaje.startsWith(QStringLiteral("0;0;FinDePartida:"))) {
        // Over: nothing of a match is taken any more until a new one starts.
        blnPartidaTerminada_ = true;
        retenidos_.clear();
        tmrRetenidos_.stop();
    }
}

void ModDPlay::EnviarBarcos() {
    for (int f = 0; f < kLado; ++f)
        for (int c = 0; c < kLado; ++c)
            if (principal_.intLeerCasilla(f, c, 0) == CASILLA_BARCO)
                EnviarMensaje(QStringLiteral("0;1;%1;%2").arg(f).arg(c));
}

void ModDPlay::DirectPlay8Event_Receive(const red::DPNMSG_RECEIVE& dpnotify) {
    bool ok = false;
    QString strNombre;
    if (oDPP_) strNombre = oDPP_->GetPeerInfo(dpnotify.idSender, &ok);
    // A player who left at once after sending is named as he was then.
    if (!ok) strNombre = dpnotify.strNombreRemitente;
    RecibirMensaje(dpnotify.strDatos, strNombre);
}

void ModDPlay::RecibirMensaje(const QString& strTexto, const QString& strNombre) {
    // Once something is held, everything after it waits too: order is kept.
    if (!retenidos_.empty()) {
        if (retenidos_.size() < kMaxRetenidos) retenidos_.push_back({strTexto, strNombre});
        return;
    }
    if (strTexto.startsWith(QStringLiteral("0;2;")) && intDecidirAtaque() == 1) {
        retenidos_.push_back({strTexto, strNombre});
        retenidoDesde_ = QDateTime::currentMSecsSinceEpoch();
        tmrRetenidos_.start();
        return;
    }
    Despachar(strTexto, strNombre);
}

void ModDPlay::Despachar(const QString& strTexto, const QString& strNombre) {
    const qsizetype pc = strTexto.indexOf(u';');
    if (pc < 0) return;
    const int intTipo = intCampo(QStringView(strTexto).left(pc));
    const QString strResto = strTexto.mid(pc + 1);
    switch (intTipo) {
    case 0:
        ProcesarMensaje(strResto, strNombre);
        break;
    case 1:
        cuadros_.EscribirEnChat(QStringLiteral("<") + strTextoSeguro(strNombre) +
                                QStringLiteral("> ") + strTextoSeguro(strResto));
        break;
    case 2:
        cuadros_.EscribirEnHistorial(strTextoSeguro(strResto));
        break;
    default:
        break;
    }
}

void ModDPlay::ProcesarRetenidos() {
    const bool blnCaducado =
        QDateTime::currentMSecsSinceEpoch() - retenidoDesde_ > kMaxEsperaRetenidoMs;
    while (!retenidos_.empty()) {
        if (retenidos_.front().texto.startsWith(QStringLiteral("0;2;")) &&
            intDecidirAtaque() == 1 && !blnCaducado)
            return; // still too early
        const Retenido actual = retenidos_.front();
        retenidos_.pop_front();
        Despachar(actual.texto, actual.nombre); // a late attack is judged as usual
    }
    tmrRetenidos_.stop();
}

int ModDPlay::intDecidirAtaque() const {
    if (partida_.blnEnPartida)
        return (partida_.blnTurnoJugadorAtaque || partida_.blnEsperandoRespuesta() ||
                partida_.blnEsperandoResultado())
                   ? 2
                   : 0;
    // Both fleets are announced but this side has not finished its start
    // sequence: the opponent, who starts, was quicker.
    if (blnFlotaPropiaEnviada_ && blnBarcosListosRecibido_ && !blnPartidaTerminada_ &&
        !principal_.blnCerrando)
        return 1;
    return 2;
}

void ModDPlay::ProcesarMensaje(const QString& strMensaje, const QString& strNombre) {
    const qsizetype pc = strMensaje.indexOf(u';');
    if (pc < 0) return;
    const int intSubtipo = intCampo(QStringView(strMensaje).left(pc));
    const QString strCuerpo = strMensaje.mid(pc + 1);
    // A match against the computer while a connection lingers is not the
    // peer's to steer; only its alerts still come through.
    if (intSubtipo != 4 && !partida_.blnJugarEnRed) return;
    switch (intSubtipo) {
    case 0:
        Control(strCuerpo, strNombre);
        break;
    case 1:
        CasillaFlota(strCuerpo);
        break;
    case 2:
        Ataque(strCuerpo);
        break;
    case 3:
        Respuesta(strCuerpo);
        break;
    case 4:
        Alerta(strCuerpo, strNombre);
        break;
    default:
        break;
    }
}

void ModDPlay::Control(const QString& strCuerpo, const QString& strNombre) {
    (void)strNombre;
    const qsizetype dp = strCuerpo.indexOf(u':');
    if (dp < 0) return;
    const QString strClave = strCuerpo.left(dp);
    const QString strValor = strCuerpo.mid(dp + 1);
    if (strClave == QStringLiteral("blnEmpiezaJugador")) {
        // Only the host says who starts, once, before the match runs.
        if (blnEsHost || blnQuienEmpiezaAceptado_ || partida_.blnEnPartida || blnPartidaTerminada_)
            return;
        if (strValor != QStringLiteral("True") && strValor != QStringLiteral("False")) return;
        blnQuienEmpiezaAceptado_ = true;
        partida_.blnEmpiezaJugador = strValor == QStringLiteral("True");
        partida_.blnQuienEmpiezaRecibido = true;
        cuadros_.EscribirEnHistorial(partida_.blnEmpiezaJugador
                                         ? QStringLiteral("Tú empiezas")
                                         : QStringLiteral("Tu contrincante empieza"));
    } else if (strClave == QStringLiteral("BarcosListos")) {
        // A fleet counts once it is whole, and only once.
        if (partida_.blnEnPartida || blnPartidaTerminada_ || blnBarcosListosRecibido_ ||
            intCasillasRecibidas_ != kCasillasFlota)
            return;
        blnBarcosListosRecibido_ = true;
        partida_.blnBarcosContrincanteListos = true;
    } else if (strClave == QStringLiteral("FinDePartida")) {
        if (!partida_.blnEnPartida) return;
        MsgBox(QStringLiteral("Tu adversario ha cancelado la partida, ¡tú ganas!"),
               QStringLiteral("Fin de partida"), Icono::Informacion);
        // The box runs its own event loop; the match may have ended meanwhile.
        if (!partida_.blnEnPartida) return;
        cuadros_.EscribirEnHistorial(QStringLiteral("Has ganado"));
        partida_.FinDePartida();
    }
}

void ModDPlay::CasillaFlota(const QString& strCuerpo) {
    int f = 0, c = 0;
    if (!blnLeerCasilla(strCuerpo, f, c)) return;
    if (partida_.blnEnPartida || blnPartidaTerminada_ || blnBarcosListosRecibido_ ||
        intCasillasRecibidas_ >= kCasillasFlota || flotaRecibida_[f][c])
        return;
    flotaRecibida_[f][c] = true;
    ++intCasillasRecibidas_;
    principal_.blnEscribirCasilla(f, c, 2, CASILLA_BARCO);
}

void ModDPlay::Ataque(const QString& strCuerpo) {
    int f = 0, c = 0;
    if (!blnLeerCasilla(strCuerpo, f, c) || intDecidirAtaque() != 0) return;
    if (principal_.intLeerCasilla(f, c, 1) != CASILLA_OCULTA) {
        cuadros_.EscribirEnHistorial(
            QStringLiteral("El contrincante ha atacado en (") + strLetraColumna(c) +
            QStringLiteral(",") + strNumeroFila(f) +
            QStringLiteral("), esta casilla ya estaba descubierta así que hay que esperar a que "
                           "ataque de nuevo"));
        EnviarMensaje(QStringLiteral("0;3;%1;%2;3")
                          .arg(principal_.intFilaAtaque)
                          .arg(principal_.intColumnaAtaque));
        return;
    }
    principal_.blnEscribirCasilla(f, c, 1, principal_.intLeerCasilla(f, c, 0));
    principal_.intFilaAtaque = static_cast<std::int16_t>(f);
    principal_.intColumnaAtaque = static_cast<std::int16_t>(c);
    partida_.TurnoOrdenador2();
}

void ModDPlay::Respuesta(const QString& strCuerpo) {
    // "row;column;result", each one digit.
    if (strCuerpo.size() != 5 || strCuerpo[3] != u';') return;
    int f = 0, c = 0;
    if (!blnLeerCasilla(strCuerpo.left(3), f, c)) return;
    const int intResultado = intDigito(strCuerpo[4]);
    if (intResultado < 0 || intResultado > 3) return;
    // Only the answer to the shot we are waiting for.
    if (!partida_.blnEnPartida || !partida_.blnEsperandoResultado()) return;
    if (intResultado == 3) {
        MsgBox(QStringLiteral("La casilla elegida ya está descubierta"), QStringLiteral("Error"),
               Icono::Critico);
        if (partida_.blnEnPartida && partida_.blnEsperandoResultado())
            partida_.TurnoJugador3(3, intFilaDisparo_, intColumnaDisparo_);
        return;
    }
    // The answer names the square it answers; anything else is not ours.
    if (f != intFilaDisparo_ || c != intColumnaDisparo_) return;
    principal_.blnEscribirCasilla(f, c, 3, intResultado == 0 ? CASILLA_AGUA : CASILLA_BARCO);
    partida_.TurnoJugador3(intResultado, f, c);
    vista_.OcultarDisparo();
    vista_.MostrarPanel(3);
}

void ModDPlay::Alerta(const QString& strCuerpo, const QString& strNombre) {
    if (strCuerpo.isEmpty()) return;
    const RegistroOpciones& o = opciones_.Opciones;
    const QChar tipo = strCuerpo[0];
    auto texto = [&] { return strTextoSeguro(strCuerpo.mid(2).left(kMaxTextoAlerta)); };
    if (tipo == u'0') {
        if (strCuerpo.size() != 1) return;
        if (o.blnAlertaSonido)
            vista_.Sonido(o.strAlertaSonido);
        else
            EnviarMensaje(QStringLiteral("0;4;9;0"));
    } else if (tipo == u'1' || tipo == u'2') {
        if (strCuerpo.size() < 2 || strCuerpo[1] != u';') return;
        if (tipo == u'1') {
            if (o.blnAlertaMsgBox)
                MsgBox(texto(), QStringLiteral("Alerta de tu adversario"), Icono::Exclamacion);
            else
                EnviarMensaje(QStringLiteral("0;4;9;1"));
        } else {
            if (o.blnAlertaHistorial)
                cuadros_.EscribirEnHistorial(QStringLiteral("ALERTA DE TU ADVERSARIO: ") + texto());
            else
                EnviarMensaje(QStringLiteral("0;4;9;2"));
        }
    } else if (tipo == u'9') {
        if (strCuerpo.size() != 3 || strCuerpo[1] != u';') return;
        const QString strQuien = strTextoSeguro(strNombre);
        switch (intDigito(strCuerpo[2])) {
        case 0:
            cuadros_.EscribirEnHistorial(
                strQuien + QStringLiteral(" no tiene activadas las alertas con sonido"));
            break;
        case 1:
            cuadros_.EscribirEnHistorial(
                strQuien + QStringLiteral(" no tiene activadas las alertas con cuadro de texto"));
            break;
        case 2:
            cuadros_.EscribirEnHistorial(
                strQuien + QStringLiteral(" no tiene activadas las alertas en el historial"));
            break;
        default:
            break;
        }
    }
}

} // namespace brumaria
