#pragma once
// "Conexión para multijugador": the player creates a network game or finds
// one and joins it. After a successful connection the dialog is only
// hidden: it stays the transport's event sink and forwards every event to
// the main window's network side until GoUnload.
#include "net/dplay.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <functional>
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

class ModOpciones;
class ModCuadrosDeTexto;

class FrmConexionDPlay : public QDialog, public red::DirectPlay8Event {
    Q_OBJECT
public:
    // `blnCerrando` is the main window's closing flag: every wait ends on it.
    FrmConexionDPlay(ModOpciones& opciones, ModCuadrosDeTexto& cuadros, const bool& blnCerrando,
                     QWidget* parent = nullptr);
    ~FrmConexionDPlay() override;

    // Shows the dialog modally over `oDPP` (not owned). True when a session
    // was created or joined; `blnEmpiezaJugador` then holds the host's choice
    // of who starts (untouched when joining).
    bool StartConnectWizard(red::DirectPlay8Peer* oDPP, const QString& sGuid, int lngUsuariosMax,
                            bool& blnEmpiezaJugador, red::DirectPlay8Event* oCallback);

    bool IsHost() const { return blnEsHost_; }
    QString SessionName() const { return strNombreSesion_; }
    QString UserName() const { return strNombreUsuario_; }
    int NumPlayers() const { return lngNumPlayers_; }

    // The end of the connection: stops the expiry timer, drops the event
    // receiver and lets the dialog go (deleted later, never under a caller).
    void GoUnload();
    // Posts a close request to `oForm`; it is handled after the caller returns.
    static void CloseForm(QWidget* oForm);
    void RegisterCallback(red::DirectPlay8Event* oCallback) { oCallback_ = oCallback; }

    // A found game.
    struct PartidaEncontrada {
        red::DPN_APPLICATION_DESC desc;
        QString strUrlHost;
        QString strUrlDispositivo;
        qint64 lngUltimaRespuesta = 0;
    };
    const std::vector<PartidaEncontrada>& Partidas() const { return aPartidas_; }

    // The clock of the found-games expiry, in ms (tests replace it).
    void FijarReloj(std::function<qint64()> reloj) { reloj_ = std::move(reloj); }
    // One expiry sweep (the timer runs it every 500 ms).
    void tmrExpire_Timer();

    // Controls, by their object names.
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
    QTimer tmrExpire;

    // red::DirectPlay8Event: the dialog's own work, then forwarding.
    void DirectPlay8Event_CreatePlayer(std::int32_t lPlayerID) override;
    void DirectPlay8Event_DestroyPlayer(std::int32_t lPlayerID, std::int32_t lReason) override;
    void DirectPlay8Event_Receive(const red::DPNMSG_RECEIVE& dpnotify) override;
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
    bool blnHospedarSesion();
    void ActualizarListaPartidas(const red::DPNMSG_ENUM_HOSTS_RESPONSE& r);
    QString strGuidProveedor() const;
    qint64 Ahora() const;

    ModOpciones& opciones_;
    ModCuadrosDeTexto& cuadros_;
    const bool& blnCerrando_;

    QPointer<red::DirectPlay8Peer> oDPP_; // not owned; may go before the dialog
    red::DirectPlay8Event* oCallback_ = nullptr;
    QString sGuid_;
    int lngUsuariosMax_ = 2;

    QString strNombreUsuario_;
    QString strNombreSesion_;
    bool blnConectado_ = false;
    bool blnEsHost_ = false;
    bool blnEmpiezaJugador_ = false;
    int lngNumPlayers_ = 0;

    int intEstadoBusqueda_ = 0; // 0 idle, 1 searching
    std::int32_t lngHandleBusqueda_ = 0;
    bool blnIgnorarRespuestas_ = true;

    bool blnUniendo_ = false;
    std::int32_t lngHandleConexion_ = 0;
    bool blnConexionTerminada_ = false;
    bool blnConexionCorrecta_ = false;

    std::vector<PartidaEncontrada> aPartidas_;
    QElapsedTimer relojMonotono_;
    std::function<qint64()> reloj_;
    QButtonGroup* grupoModo_ = nullptr;
    QButtonGroup* grupoQuien_ = nullptr;
};

} // namespace brumaria
