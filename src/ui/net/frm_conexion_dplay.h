#pragma once
// "Conexión para multijugador": the player creates a network game or finds
// one and joins it. It works through the network side (ModDPlay), which
// owns the connection and tells it the search answers and the join's
// outcome while it is open.
#include "match/vista_partida.h"
#include "net/dplay.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace brumaria {

namespace red::invitacion {
class Invitacion;
}

class ModOpciones;
class ModCuadrosDeTexto;
class ModDPlay;

class FrmConexionDPlay : public QDialog, public red::DirectPlay8Event {
    Q_OBJECT
public:
    // `dplay` must be searching (IniciarDPlay) when the dialog is shown.
    FrmConexionDPlay(ModDPlay& dplay, ModOpciones& opciones, ModCuadrosDeTexto& cuadros,
                     QWidget* parent = nullptr);
    ~FrmConexionDPlay() override;

    // Shows the dialog modally. Connected when a session was created or
    // joined; a created one brings the host's choice of who starts.
    ResultadoConexion StartConnectWizard();

    // With an invitation flow, the list offers a third way: an invitation
    // code. Set before StartConnectWizard.
    void FijarInvitacion(red::invitacion::Invitacion* invitacion) { invitacion_ = invitacion; }
    // The way chosen was the invitation code.
    bool blnPorInvitacion() const;

    bool IsHost() const;
    QString SessionName() const { return strNombreSesion_; }
    QString UserName() const { return strNombreUsuario_; }
    int NumPlayers() const { return lngNumPlayers_; }

    // A found game.
    struct PartidaEncontrada {
        red::DPN_APPLICATION_DESC desc;
        QString strUrlHost;
        QString strUrlDispositivo;
        QString strFuente; // the socket that answered
        qint64 lngUltimaRespuesta = 0;
    };
    const std::vector<PartidaEncontrada>& Partidas() const { return aPartidas_; }

    // The clock of the found-games expiry, in ms (tests replace it).
    void FijarReloj(std::function<qint64()> reloj) { reloj_ = std::move(reloj); }
    // One expiry sweep (the timer runs it every 500 ms).
    void tmrExpire_Timer();

    // What the network side tells the open dialog.
    void DirectPlay8Event_ConnectComplete(const red::DPNMSG_CONNECT_COMPLETE& dpnotify) override;
    void
    DirectPlay8Event_EnumHostsResponse(const red::DPNMSG_ENUM_HOSTS_RESPONSE& dpnotify) override;
    void DirectPlay8Event_AsyncOpComplete(const red::DPNMSG_ASYNC_OP_COMPLETE& dpnotify) override;

public slots:
    void reject() override;

private:
    void Construir();
    void ElegirModo(bool blnHost);
    void cmdAceptar_Click();
    void cmdRefresh_Click();
    void DetenerBusqueda();
    void CrearSesion();
    void UnirseASesion();
    void ActualizarListaPartidas(const red::DPNMSG_ENUM_HOSTS_RESPONSE& r);
    QString strGuidProveedor() const;
    qint64 Ahora() const;
    // The invitation's part of the dialog (frm_conexion_invitacion.cpp).
    void ProveedorElegido();
    void UnirseConInvitacion();
    void InvitacionLista(quint16 puerto, const QString& strGuid, const QString& strNombre);
    void InvitacionFallida(const QString& texto);
    void cmdAvanzado_Click();
    void TerminarInvitacion();

    red::DirectPlay8Peer* oDPP() const;

    // The controls, reached from outside by their object names.
    QLabel* lblNombre = nullptr;
    QLineEdit* txtNombre = nullptr;
    QLabel* Label1 = nullptr;
    QListWidget* lstSP = nullptr;
    QRadioButton* optHost = nullptr;
    QGroupBox* fraHost = nullptr;
    QLineEdit* txtGameName = nullptr;
    QLabel* lblQuienEmpieza = nullptr;
    QRadioButton* optJugador = nullptr;
    QRadioButton* optOrdenador = nullptr;
    QRadioButton* optAlAzar = nullptr;
    QRadioButton* optDevice = nullptr;
    QGroupBox* fraDevice = nullptr;
    QLabel* lblDireccion = nullptr;
    QLineEdit* txtDireccion = nullptr;
    QLabel* Label3 = nullptr;
    QListWidget* lstPartidas = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdAceptar = nullptr;
    QPushButton* cmdCancelar = nullptr;
    QPushButton* cmdAvanzado = nullptr;
    QLabel* lblProgreso = nullptr;
    QTimer tmrExpire;
    red::invitacion::Invitacion* invitacion_ = nullptr;
    // Where the guest's join stands. Through a code the invitation's flow
    // first finds the host and crosses the routers, then the session joins
    // through its tunnel; a failure there takes the flow with it.
    enum class EstadoUnion : std::uint8_t {
        Libre,          // nothing pending: Aceptar may start one
        PorDireccion,   // a session join is pending (lngHandleConexion_)
        BuscandoCodigo, // the invitation's flow is under way
        PorTunel,       // the session join through the tunnel is pending
    };
    EstadoUnion estadoUnion_ = EstadoUnion::Libre;
    bool blnUnionPorCodigo() const {
        return estadoUnion_ == EstadoUnion::BuscandoCodigo || estadoUnion_ == EstadoUnion::PorTunel;
    }

    ModDPlay& dplay_;
    ModOpciones& opciones_;
    ModCuadrosDeTexto& cuadros_;

    QString strNombreUsuario_;
    QString strNombreSesion_;
    std::optional<QuienEmpieza> quienEmpieza_; // chosen when the session was created
    int lngNumPlayers_ = 0;

    int intEstadoBusqueda_ = 0; // 0 idle, 1 searching
    std::int32_t lngHandleBusqueda_ = 0;
    bool blnIgnorarRespuestas_ = true;
    std::int32_t lngHandleConexion_ = 0; // the join waiting for its outcome

    std::vector<PartidaEncontrada> aPartidas_;
    QElapsedTimer relojMonotono_;
    std::function<qint64()> reloj_;
    QButtonGroup* grupoModo_ = nullptr;
    QButtonGroup* grupoQuien_ = nullptr;
};

} // namespace brumaria
