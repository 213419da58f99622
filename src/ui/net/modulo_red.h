#pragma once
// The real network side the window talks to: the game's network module
// (ModDPlay) and its session dialog.
#include "net/moddplay.h"
#include "ui/main/red_del_juego.h"

namespace brumaria {

class ModuloRed final : public RedDelJuego {
public:
    explicit ModuloRed(const ContextoRed& c);

    ModDPlay dplay;

    RedPartida& Red() override { return dplay; }
    bool EnviarChat(const QString& t) override { return dplay.EnviarChat(t); }
    void EnviarAlerta(int i) override { dplay.EnviarAlerta(i); }
    ResultadoConexion AbrirConexion(QWidget* padre,
                                    const std::function<void(QDialog&)>& alAbrir) override;

private:
    ModOpciones& opciones_;
    ModCuadrosDeTexto& cuadros_;
};

} // namespace brumaria
