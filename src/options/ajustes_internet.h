#pragma once
// The servers an invitation-code game uses: STUN (to learn the router's
// public side), an optional TURN relay, and the DHT's bootstrap nodes. They
// live in red.ini beside ventanas.ini, not in Config.dat, whose 4419 bytes
// stay as they are.
#include <QString>
#include <QStringList>

namespace brumaria {

struct AjustesInternet {
    QStringList stun;       // "host:port", tried in order
    QString turn;           // "host:port"; empty: no relay
    QString turnUsuario;
    QString turnClave;
    QStringList nodosDht;   // "host:port"
    // A DHT of a few nodes of one's own (a LAN party, the network lab):
    // libtorrent's guards against many nodes on one network are relaxed.
    // Only in the file: the public DHT needs them.
    bool blnDhtPrivada = false;

    static AjustesInternet PorDefecto();
    bool blnHayTurn() const { return !turn.isEmpty(); }
    bool operator==(const AjustesInternet&) const = default;
};

// A list keeps at most this many entries and an entry this many
// characters: what a hand-edited or damaged file can make us keep.
inline constexpr int kMaxServidores = 8;
inline constexpr int kMaxTextoAjuste = 255;
// A larger file is not ours (or is damaged) and is not read at all.
inline constexpr qint64 kMaxArchivoAjustes = 64 * 1024;

// The file in the user's configuration folder.
QString strRutaAjustesInternet();
// Missing, unreadable or too large: the defaults. A missing key keeps its
// default; an entry too long, or past the count, is dropped.
AjustesInternet LeerAjustesInternet(const QString& ruta = strRutaAjustesInternet());
// Only the owner may read it: it can hold the relay's password.
bool GuardarAjustesInternet(const AjustesInternet& a,
                            const QString& ruta = strRutaAjustesInternet());

} // namespace brumaria
