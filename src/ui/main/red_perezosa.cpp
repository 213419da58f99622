#include "ui/main/red_del_juego.h"

#include "platform/mensajes.h"

namespace brumaria {

RedDelJuego* RedPerezosa::Cargada() {
    if (!blnIntentado_) {
        blnIntentado_ = true;
        real_ = CrearRedDelJuego(contexto_);
        if (!real_)
            MsgBox(QStringLiteral("No se ha podido cargar la parte de red del juego, así que no "
                                  "puedes jugar en red. Instala el juego de nuevo."),
                   QStringLiteral("Error"), Icono::Critico);
    }
    return real_.get();
}

EstadoConexion RedPerezosa::Estado() const {
    return real_ ? real_->Red().Estado() : EstadoConexion::SinConexion;
}
bool RedPerezosa::blnEsHost() const {
    return real_ && real_->Red().blnEsHost();
}
QString RedPerezosa::strNombreUsuario() const {
    return real_ ? real_->Red().strNombreUsuario() : QString();
}
void RedPerezosa::IniciarDPlay() {
    if (RedDelJuego* r = Cargada()) r->Red().IniciarDPlay();
}
void RedPerezosa::TerminarConexion() {
    if (real_) real_->Red().TerminarConexion();
}
void RedPerezosa::EnviarQuienEmpieza(bool blnEmpiezaElOtro) {
    if (real_) real_->Red().EnviarQuienEmpieza(blnEmpiezaElOtro);
}
void RedPerezosa::EnviarCompromiso(const QByteArray& huella) {
    if (real_) real_->Red().EnviarCompromiso(huella);
}
void RedPerezosa::EnviarRevelacion(const Panel& flota, const QByteArray& sal) {
    if (real_) real_->Red().EnviarRevelacion(flota, sal);
}
void RedPerezosa::EnviarAtaque(int intFila, int intColumna) {
    if (real_) real_->Red().EnviarAtaque(intFila, intColumna);
}
void RedPerezosa::EnviarRespuesta(int intFila, int intColumna, int intResultado) {
    if (real_) real_->Red().EnviarRespuesta(intFila, intColumna, intResultado);
}
void RedPerezosa::EnviarFinDePartida() {
    if (real_) real_->Red().EnviarFinDePartida();
}
void RedPerezosa::EnviarHistorial(const QString& strTexto) {
    if (real_) real_->Red().EnviarHistorial(strTexto);
}
// The chat and alerts say "nobody is there" themselves, so they load the
// network side as the first message of a session would.
bool RedPerezosa::EnviarChat(const QString& strTexto) {
    RedDelJuego* r = Cargada();
    return r && r->EnviarChat(strTexto);
}
void RedPerezosa::EnviarAlerta(int intTipo) {
    if (RedDelJuego* r = Cargada()) r->EnviarAlerta(intTipo);
}
ResultadoConexion RedPerezosa::AbrirConexion(QWidget* padre,
                                             const std::function<void(QDialog&)>& alAbrir) {
    RedDelJuego* r = Cargada();
    return r ? r->AbrirConexion(padre, alAbrir) : ResultadoConexion{};
}

} // namespace brumaria
