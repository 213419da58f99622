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

    EstadoConexion Estado() const override { return dplay.Estado(); }
    bool blnEsHost() const override { return dplay.blnEsHost(); }
    QString strNombreUsuario() const override { return dplay.strNombreUsuario(); }
    void IniciarDPlay() override { dplay.IniciarDPlay(); }
    void TerminarConexion() override { dplay.TerminarConexion(); }
    void EnviarQuienEmpieza(bool b) override { dplay.EnviarQuienEmpieza(b); }
    void EnviarCompromiso(const QByteArray& h) override { dplay.EnviarCompromiso(h); }
    void EnviarRevelacion(const Panel& f, const QByteArray& s) override {
        dplay.EnviarRevelacion(f, s);
    }
    void EnviarAtaque(int f, int c) override { dplay.EnviarAtaque(f, c); }
    void EnviarRespuesta(int f, int c, int r) override { dplay.EnviarRespuesta(f, c, r); }
    void EnviarFinDePartida() override { dplay.EnviarFinDePartida(); }
    void EnviarHistorial(const QString& t) override { dplay.EnviarHistorial(t); }
    bool EnviarChat(const QString& t) override { return dplay.EnviarChat(t); }
    void EnviarAlerta(int i) override { dplay.EnviarAlerta(i); }
    ResultadoConexion AbrirConexion(QWidget* padre,
                                    const std::function<void(QDialog&)>& alAbrir) override;

private:
    ModOpciones& opciones_;
    ModCuadrosDeTexto& cuadros_;
};

} // namespace brumaria
