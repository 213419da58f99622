// What the player reads at each step of an invitation and at each failure.
#include "net/invitacion/invitacion.h"

namespace brumaria::red::invitacion {

QString Invitacion::TextoPaso(EstadoInvitacion e, Papel p) {
    const bool anfitrion = p == Papel::Anfitrion;
    switch (e) {
    case EstadoInvitacion::Derivando:
        return anfitrion ? QStringLiteral("Preparando tu código de invitación…")
                         : QStringLiteral("Comprobando el código…");
    case EstadoInvitacion::Preparando:
        return QStringLiteral("Entrando en la red de encuentro…");
    case EstadoInvitacion::Publicando:
        return QStringLiteral("Publicando tu código…");
    case EstadoInvitacion::EsperandoAmigo:
        return QStringLiteral("Esperando a tu amigo… El código vale para una partida durante "
                              "10 minutos.");
    case EstadoInvitacion::Buscando:
        return QStringLiteral("Buscando a tu amigo…");
    case EstadoInvitacion::Respondiendo:
    case EstadoInvitacion::Conectando:
        return QStringLiteral("Conectando… (puede tardar hasta 30 s)");
    case EstadoInvitacion::Conectada:
    case EstadoInvitacion::Inactiva:
    case EstadoInvitacion::Terminada:
        break;
    }
    return QString();
}

QString Invitacion::TextoConectados(bool blnRetransmitido) {
    return blnRetransmitido
               ? QStringLiteral("Conectados a través del servidor de retransmisión")
               : QStringLiteral("Conectados directamente");
}

QString Invitacion::TextoFallo(Fallo f) {
    switch (f) {
    case Fallo::CodigoDesconocido:
        return QStringLiteral("No hay ninguna partida con ese código, o ya ha caducado. "
                              "Comprueba el código o pide a tu amigo uno nuevo.");
    case Fallo::CodigoCaducado:
        return QStringLiteral("Ese código ha caducado: cada código vale 10 minutos. Pide a tu "
                              "amigo uno nuevo (si acaba de crearlo, revisad la hora de los dos "
                              "equipos).");
    case Fallo::CodigoUsado:
        return QStringLiteral("Ese código ya se ha usado: cada código vale para una sola "
                              "partida. Pide a tu amigo uno nuevo.");
    case Fallo::SinCruzar:
        return QStringLiteral("No se ha podido cruzar los routers de los dos equipos. Con un "
                              "servidor de retransmisión (TURN) puesto en «Avanzado…» sí se "
                              "podría.");
    case Fallo::TurnRechazado:
        return QStringLiteral("El servidor de retransmisión (TURN) no ha aceptado el usuario o "
                              "la contraseña. Revísalos en «Avanzado…».");
    case Fallo::SinRed:
        return QStringLiteral("No se ha podido entrar en la red de encuentro. Comprueba la "
                              "conexión a Internet y los nodos de «Avanzado…».");
    case Fallo::NadieRespondio:
        return QStringLiteral("Tu amigo no ha usado el código en 10 minutos y ha caducado.");
    case Fallo::AmigoSeFue:
        return QStringLiteral("Tu amigo se ha ido antes de empezar.");
    case Fallo::Alterado:
        return QStringLiteral("Ha llegado un mensaje alterado por el camino: se ha cortado la "
                              "conexión para que nadie pueda meterse en la partida.");
    case Fallo::Interno:
        break;
    }
    return QStringLiteral("No se ha podido preparar la conexión en este equipo.");
}

} // namespace brumaria::red::invitacion
