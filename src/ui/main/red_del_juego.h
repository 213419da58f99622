#pragma once
// The network side as the window and the object graph see it: the match's
// messages, the chat and alert sends and the session dialog. The real one
// (the transport, Qt Network, the router's port mapping, the dialog) lives
// in a module the game loads on the first network game, so a start that
// never plays over the network never pays for it; tests and tools link it
// in directly.
#include "match/red_partida.h"
#include "match/vista_partida.h"

#include <QString>
#include <functional>
#include <memory>

class QDialog;
class QWidget;

namespace brumaria {

class Partida;
class PreparacionPartida;
class ModOpciones;
class ModCuadrosDeTexto;

// What the network side works with, all owned by the application.
struct ContextoRed {
    Partida& partida;
    PreparacionPartida& preparacion;
    ModOpciones& opciones;
    ModCuadrosDeTexto& cuadros;
    VistaPartida& vista;
};

class RedDelJuego {
public:
    virtual ~RedDelJuego() = default;
    // What the match sends and asks through.
    virtual RedPartida& Red() = 0;
    // "Enviar" of the chat pane; false keeps the line for the player to
    // shorten. The alert menu's sends (0 sound, 1 message box, 2 history).
    virtual bool EnviarChat(const QString& strTexto) = 0;
    virtual void EnviarAlerta(int intTipo) = 0;
    // The session dialog, modal over `padre`; `alAbrir` (tests) is handed
    // it once it is showing.
    virtual ResultadoConexion AbrirConexion(QWidget* padre,
                                            const std::function<void(QDialog&)>& alAbrir) = 0;
};

// The real network side: linked in (tests, tools) or loaded from the module
// beside the program (the game). Null when it cannot be had.
std::unique_ptr<RedDelJuego> CrearRedDelJuego(const ContextoRed& contexto);

// Stands in for the network side until it is first needed: with no
// connection there is nothing to send, so until then it only answers that
// there is none.
class RedPerezosa final : public RedPartida, public RedDelJuego {
public:
    explicit RedPerezosa(const ContextoRed& contexto) : contexto_(contexto) {}

    // The real side, made now if it was not yet; null when it cannot be
    // loaded (the player was told once).
    RedDelJuego* Cargada();

    RedPartida& Red() override { return *this; }
    EstadoConexion Estado() const override;
    bool blnEsHost() const override;
    QString strNombreUsuario() const override;
    void IniciarDPlay() override;
    void TerminarConexion() override;
    void EnviarQuienEmpieza(bool blnEmpiezaElOtro) override;
    void EnviarCompromiso(const QByteArray& huella) override;
    void EnviarRevelacion(const Panel& flota, const QByteArray& sal) override;
    void EnviarAtaque(int intFila, int intColumna) override;
    void EnviarRespuesta(int intFila, int intColumna, int intResultado) override;
    void EnviarFinDePartida() override;
    void EnviarHistorial(const QString& strTexto) override;
    bool EnviarChat(const QString& strTexto) override;
    void EnviarAlerta(int intTipo) override;
    ResultadoConexion AbrirConexion(QWidget* padre,
                                    const std::function<void(QDialog&)>& alAbrir) override;

private:
    ContextoRed contexto_;
    std::unique_ptr<RedDelJuego> real_;
    bool blnIntentado_ = false;
};

} // namespace brumaria
