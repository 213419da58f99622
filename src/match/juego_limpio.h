#pragma once
// Fair play in a network match. Each side sends only a commitment to its
// fleet when it is placed, keeps its answers honest on the spot, and shows
// the fleet with the commitment's salt once its match is over; the other
// side then checks the commitment, the fleet and every answer it was given.
#include "core/compromiso.h"

#include <QByteArray>
#include <QList>
#include <array>

namespace brumaria {

class ModCuadrosDeTexto;
class RedPartida;
class VistaPartida;

// What this side knows of the other's fleet in the last network match.
enum class FlotaRival {
    Ninguna,     // no network match played, or its check is done
    Prometida,   // the match runs, or has ended here, with his commitment held
    Revelandose, // his match has ended (his FinDePartida came): his squares come
    Revelada,    // squares and salt are here; checked once this side's match ends
};

// This side's own fleet.
enum class FlotaPropia {
    Secreta,   // not committed to (or shown already)
    Prometida, // the commitment is sent; the match has not started
    EnJuego,   // the match started on it: it is shown when the match ends
};

class JuegoLimpio {
public:
    JuegoLimpio(ModPrincipal& principal, ModCuadrosDeTexto& cuadros, VistaPartida& vista);

    void FijarRed(RedPartida* red) { red_ = red; }
    FlotaRival EstadoRival() const { return rival_; }
    FlotaPropia EstadoPropio() const { return propia_; }

    // This side's fleet (panel 0) is placed: a fresh salt, the commitment to
    // the other side.
    void Comprometer();
    // A network match starts, with the other side's commitment. A check
    // still waiting from the match before is given up.
    void Empezar(const QByteArray& compromisoRival);
    // This side's match ended (FinDePartida), over a live connection: the
    // fleet of a match that was played is shown, once.
    void Revelar();
    // The same end, for the other's fleet: it is checked if it is here.
    void PartidaTerminada();

    // The other's answer to this side's shot, as accepted by the turn cycle.
    void AnotarRespuesta(int intFila, int intColumna, int intResultado);
    // The other side's FinDePartida; the first one after the start closes
    // the match being checked.
    void RivalTermino();
    void RecibirCasilla(int intFila, int intColumna);
    void RecibirSal(const QByteArray& sal);
    // The other player left the session.
    void RivalSeFue();
    // This side left it: his fleet can no longer come. Only the history
    // says so; the player knows why.
    void ConexionTerminada();

    // The solution window: at once if the other's fleet is known, else as
    // soon as it is shown.
    void VerSolucion();

private:
    void Comprobar();
    void SinComprobar(bool blnAvisar = true);

    ModPrincipal& principal_;
    ModCuadrosDeTexto& cuadros_;
    VistaPartida& vista_;
    RedPartida* red_ = nullptr;

    FlotaPropia propia_ = FlotaPropia::Secreta;
    Panel flotaPropia_{};
    QByteArray salPropia_;

    FlotaRival rival_ = FlotaRival::Ninguna;
    bool blnTerminada_ = false;   // this side's match has ended
    bool blnSolucion_ = false;    // the player asked to see the fleet
    QByteArray compromisoRival_;
    QList<RespuestaDada> respuestas_;
    std::array<std::array<bool, kLado>, kLado> revelada_{};
    int intReveladas_ = 0;
    QByteArray salRival_;
};

} // namespace brumaria
