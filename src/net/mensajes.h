#pragma once
// The game's messages between two copies of the program, typed. One text is
// one message; the grammar is at the top of mensajes.cpp and in
// docs/protocol.md. Leer() is the only place a received text is taken
// apart, and it cleans every free text the peer sends before anything
// shows it.
#include <QByteArray>
#include <QString>
#include <variant>

namespace brumaria::protocolo {

// "0;0;blnEmpiezaJugador:True|False": whether the receiver starts (host only).
struct QuienEmpieza {
    bool blnEmpiezaJugador = false;
};
// "0;5;hex": the commitment to the sender's fleet, sent when it is placed
// instead of the fleet itself (SHA-256, 32 bytes; 64 lowercase hex digits).
struct Compromiso {
    QByteArray huella;
};
// "0;1;f;c": one ship square of the sender's fleet, shown once his match
// has ended.
struct CasillaFlota {
    int intFila = 0;
    int intColumna = 0;
};
// "0;0;BarcosListos:Sí": the sender's whole fleet has been sent.
struct BarcosListos {};
// "0;6;hex": the salt of the commitment (16 bytes; 32 lowercase hex
// digits), right after the last square shown: the fleet is complete.
struct SalFlota {
    QByteArray sal;
};
// "0;0;FinDePartida:Sí": the sender's match has ended (or he gave it up).
struct FinDePartida {};
// "0;2;f;c": a shot at the receiver's board.
struct Ataque {
    int intFila = 0;
    int intColumna = 0;
};
// "0;3;f;c;r": the answer to a shot, r 0 Agua, 1 Tocado, 2 Hundido, 3 already uncovered.
struct RespuestaAtaque {
    int intFila = 0;
    int intColumna = 0;
    int intResultado = 0;
};
// "0;4;0", "0;4;1;text", "0;4;2;text": an alert (sound, message box, history line).
struct Alerta {
    int intTipo = 0;
    QString strTexto;
};
// "0;4;9;n": the receiver does not accept alerts of type n.
struct AlertaRechazada {
    int intTipo = 0;
};
// "1;text": a chat line.
struct Chat {
    QString strTexto;
};
// "2;text": a line for the receiver's history.
struct Historial {
    QString strTexto;
};

// std::monostate: a text that is no message of ours (ignored).
using Mensaje = std::variant<std::monostate, QuienEmpieza, Compromiso, CasillaFlota, SalFlota,
                             BarcosListos, FinDePartida, Ataque, RespuestaAtaque, Alerta,
                             AlertaRechazada, Chat, Historial>;

// The longest alert text shown; longer ones are cut.
inline constexpr int kMaxTextoAlerta = 1024;

Mensaje Leer(const QString& strTexto);
// Whether the message's text fits in one transport frame; a longer one
// cannot be sent.
bool blnCabeEnUnMarco(const Mensaje& mensaje);
// The text of a message (empty for std::monostate).
QString Escribir(const Mensaje& mensaje);

// A text from the peer made fit for one line of a pane, a box or the
// history file: line breaks, tabs and other control characters become
// spaces, so it can neither start a line nor forge a column; byte-order
// marks (U+FEFF) are dropped.
QString strTextoSeguro(const QString& strTexto);

} // namespace brumaria::protocolo
