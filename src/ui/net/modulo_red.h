#pragma once
// The real network side the window talks to: the game's network module
// (ModDPlay) and its session dialog.
#include "net/invitacion/invitacion.h"
#include "net/moddplay.h"
#include "ui/main/red_del_juego.h"

#include <QPointer>

namespace brumaria {

class ModuloRed final : public RedDelJuego {
public:
    explicit ModuloRed(const ContextoRed& c);

    // The invitation-code way; it lives as long as the connection it made
    // (declared first so it outlives the connection's last signal).
    red::invitacion::Invitacion invitacion;
    ModDPlay dplay;

    RedPartida& Red() override { return dplay; }
    bool EnviarChat(const QString& t) override { return dplay.EnviarChat(t); }
    void EnviarAlerta(int i) override { dplay.EnviarAlerta(i); }
    ResultadoConexion AbrirConexion(QWidget* padre,
                                    const std::function<void(QDialog&)>& alAbrir) override;

private:
    void InvitarComoAnfitrion(QWidget* padre, const QString& strNombreSesion);

    QPointer<QDialog> ventanaInvitacion_;
    ModOpciones& opciones_;
    ModCuadrosDeTexto& cuadros_;
};

} // namespace brumaria
