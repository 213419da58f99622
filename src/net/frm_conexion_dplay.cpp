#include "net/frm_conexion_dplay.h"

#include "core/azar.h"
#include "options/opciones.h"
#include "platform/mensajes.h"
#include "platform/pausa.h"
#include "ui/logs/cuadros_de_texto.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace brumaria {

namespace {

// Restores the normal pointer however the procedure ends.
struct CursorEspera {
    CursorEspera() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursorEspera() { QApplication::restoreOverrideCursor(); }
    CursorEspera(const CursorEspera&) = delete;
    CursorEspera& operator=(const CursorEspera&) = delete;
};

// A game that has not answered for this long is gone.
constexpr qint64 kCaducidadMs = 2000;

QString TextoPartida(const red::DPNMSG_ENUM_HOSTS_RESPONSE& r) {
    return r.ApplicationDescription.SessionName + QStringLiteral(" - Latencia:") +
           QString::number(r.lRoundTripLatencyMS) + QStringLiteral(" ms");
}

} // namespace

FrmConexionDPlay::FrmConexionDPlay(ModOpciones& opciones, ModCuadrosDeTexto& cuadros,
                                   const bool& blnCerrando, QWidget* parent)
    : QDialog(parent), opciones_(opciones), cuadros_(cuadros), blnCerrando_(blnCerrando) {
    relojMonotono_.start();
    Construir();
    txtNombre->setText(opciones_.Opciones.strNombreJugador);
    txtGameName->setText(opciones_.Opciones.strNombrePartida);
    tmrExpire.setInterval(500);
    connect(&tmrExpire, &QTimer::timeout, this, &FrmConexionDPlay::tmrExpire_Timer);
    tmrExpire.start();
}

FrmConexionDPlay::~FrmConexionDPlay() {
    tmrExpire.stop();
    if (oDPP_ && lngHandleBusqueda_ != 0) oDPP_->CancelAsyncOperation(lngHandleBusqueda_);
}

void FrmConexionDPlay::Construir() {
    setObjectName(QStringLiteral("frmConexionDPlay"));
    setWindowTitle(QStringLiteral("Conexión para multijugador"));
    setModal(true);

    auto nombrar = [](QWidget* w, const char* nombre) {
        w->setObjectName(QLatin1String(nombre));
        return w;
    };

    lblNombre = new QLabel(QStringLiteral("Nombre/Nick:"), this);
    nombrar(lblNombre, "lblNombre");
    txtNombre = new QLineEdit(this);
    nombrar(txtNombre, "txtNombre");
    txtNombre->setMaxLength(255);
    lblNombre->setBuddy(txtNombre);

    Label1 = new QLabel(QStringLiteral("Selecciona el tipo de conexión:"), this);
    nombrar(Label1, "Label1");
    lstSP = new QListWidget(this);
    nombrar(lstSP, "lstSP");
    lstSP->setMaximumHeight(60);
    Label1->setBuddy(lstSP);

    optHost = new QRadioButton(QStringLiteral("Crear una partida"), this);
    nombrar(optHost, "optHost");
    fraHost = new QGroupBox(QStringLiteral("Nombre de la partida:"), this);
    nombrar(fraHost, "fraHost");
    txtGameName = new QLineEdit(fraHost);
    nombrar(txtGameName, "txtGameName");
    txtGameName->setMaxLength(255);
    lblQuienEmpieza = new QLabel(QStringLiteral("¿Quién empieza?"), fraHost);
    nombrar(lblQuienEmpieza, "lblQuienEmpieza");
    optJugador = new QRadioButton(QStringLiteral("Tú"), fraHost);
    nombrar(optJugador, "optJugador");
    optOrdenador = new QRadioButton(QStringLiteral("Tu rival"), fraHost);
    nombrar(optOrdenador, "optOrdenador");
    optAlAzar = new QRadioButton(QStringLiteral("Al azar"), fraHost);
    nombrar(optAlAzar, "optAlAzar");
    grupoQuien_ = new QButtonGroup(this);
    for (QRadioButton* o : {optJugador, optOrdenador, optAlAzar})
        grupoQuien_->addButton(o);
    optAlAzar->setChecked(true);
    auto* capaHost = new QGridLayout(fraHost);
    capaHost->addWidget(txtGameName, 0, 0, 1, 4);
    capaHost->addWidget(lblQuienEmpieza, 1, 0);
    capaHost->addWidget(optJugador, 1, 1);
    capaHost->addWidget(optOrdenador, 1, 2);
    capaHost->addWidget(optAlAzar, 1, 3);

    optDevice = new QRadioButton(QStringLiteral("Unirse a una partida"), this);
    nombrar(optDevice, "optDevice");
    fraDevice = new QGroupBox(this);
    nombrar(fraDevice, "fraDevice");
    // Empty: the local network (or this computer); else the host's name or
    // address, with ":port" when it is not the usual one.
    lblDireccion =
        new QLabel(QStringLiteral("Dirección del equipo (vacío: red local):"), fraDevice);
    nombrar(lblDireccion, "lblDireccion");
    txtDireccion = new QLineEdit(fraDevice);
    nombrar(txtDireccion, "txtDireccion");
    txtDireccion->setMaxLength(255);
    lblDireccion->setBuddy(txtDireccion);
    Label3 = new QLabel(QStringLiteral("Partidas encontradas:"), fraDevice);
    nombrar(Label3, "Label3");
    lstPartidas = new QListWidget(fraDevice);
    nombrar(lstPartidas, "lstPartidas");
    Label3->setBuddy(lstPartidas);
    cmdRefresh = new QPushButton(QStringLiteral("Iniciar búsqueda"), fraDevice);
    nombrar(cmdRefresh, "cmdRefresh");
    cmdRefresh->setAutoDefault(false);
    auto* capaDevice = new QGridLayout(fraDevice);
    capaDevice->addWidget(lblDireccion, 0, 0);
    capaDevice->addWidget(txtDireccion, 0, 1);
    capaDevice->addWidget(Label3, 1, 0, 1, 2);
    capaDevice->addWidget(lstPartidas, 2, 0, 1, 2);
    capaDevice->addWidget(cmdRefresh, 3, 1, Qt::AlignRight);

    grupoModo_ = new QButtonGroup(this);
    grupoModo_->addButton(optHost);
    grupoModo_->addButton(optDevice);

    cmdAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    nombrar(cmdAceptar, "cmdAceptar");
    cmdAceptar->setDefault(true);
    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    nombrar(cmdCancelar, "cmdCancelar");
    cmdCancelar->setAutoDefault(false);

    auto* capa = new QVBoxLayout(this);
    auto* filaNombre = new QHBoxLayout;
    filaNombre->addWidget(lblNombre);
    filaNombre->addWidget(txtNombre, 1);
    capa->addLayout(filaNombre);
    capa->addWidget(Label1);
    capa->addWidget(lstSP);
    capa->addWidget(optHost);
    capa->addWidget(fraHost);
    capa->addWidget(optDevice);
    capa->addWidget(fraDevice, 1);
    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(cmdAceptar);
    botones->addWidget(cmdCancelar);
    capa->addLayout(botones);
    resize(440, 520);

    connect(optHost, &QRadioButton::toggled, this, [this](bool on) {
        if (on) ElegirModo(true);
    });
    connect(optDevice, &QRadioButton::toggled, this, [this](bool on) {
        if (on) ElegirModo(false);
    });
    // A typed address only means something to the TCP/IP provider.
    connect(lstSP, &QListWidget::currentRowChanged, this, [this] {
        const bool blnTcp = strGuidProveedor() == red::kGuidProveedorTcp;
        lblDireccion->setEnabled(blnTcp);
        txtDireccion->setEnabled(blnTcp);
    });
    connect(cmdAceptar, &QPushButton::clicked, this, &FrmConexionDPlay::cmdAceptar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &FrmConexionDPlay::reject);
    connect(cmdRefresh, &QPushButton::clicked, this, &FrmConexionDPlay::cmdRefresh_Click);
    connect(lstPartidas, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem*) { cmdAceptar_Click(); });

    optHost->setChecked(true);
    ElegirModo(true);
}

void FrmConexionDPlay::ElegirModo(bool blnHost) {
    for (QWidget* w : std::initializer_list<QWidget*>{fraHost, txtGameName, optJugador,
                                                      optOrdenador, optAlAzar, lblQuienEmpieza})
        w->setEnabled(blnHost);
    for (QWidget* w : std::initializer_list<QWidget*>{fraDevice, lstPartidas, cmdRefresh})
        w->setEnabled(!blnHost);
    if (blnHost)
        txtGameName->setFocus();
    else
        cmdRefresh->setFocus();
}

bool FrmConexionDPlay::StartConnectWizard(red::DirectPlay8Peer* oDPP, const QString& sGuid,
                                          int lngUsuariosMax, bool& blnEmpiezaJugador,
                                          red::DirectPlay8Event* oCallback) {
    oDPP_ = oDPP;
    sGuid_ = sGuid;
    lngUsuariosMax_ = lngUsuariosMax;
    oCallback_ = oCallback;
    blnConectado_ = false;
    if (oDPP_) oDPP_->RegisterMessageHandler(this);

    lstSP->clear();
    int intElegido = 0;
    const int n = red::DirectPlay8Peer::GetCountServiceProviders();
    for (int i = 1; i <= n; ++i) {
        const red::ProveedorServicio sp = red::DirectPlay8Peer::GetServiceProvider(i);
        auto* item = new QListWidgetItem(sp.Name, lstSP);
        item->setData(Qt::UserRole, sp.Guid);
        if (sp.Name.contains(QStringLiteral("TCP"), Qt::CaseSensitive)) intElegido = i - 1;
    }
    if (lstSP->count() > 0) lstSP->setCurrentRow(intElegido);

    if (!blnCerrando_) exec();
    if (blnConectado_) blnEmpiezaJugador = blnEmpiezaJugador_;
    return blnConectado_;
}

QString FrmConexionDPlay::strGuidProveedor() const {
    const QListWidgetItem* item = lstSP->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

qint64 FrmConexionDPlay::Ahora() const {
    return reloj_ ? reloj_() : relojMonotono_.elapsed();
}

void FrmConexionDPlay::reject() {
    // Leaving while a join is pending abandons it (its outcome ends the wait).
    if (blnUniendo_ && oDPP_ && lngHandleConexion_ != 0)
        oDPP_->CancelAsyncOperation(lngHandleConexion_);
    DetenerBusqueda();
    QDialog::reject();
}

void FrmConexionDPlay::GoUnload() {
    tmrExpire.stop();
    DetenerBusqueda();
    oCallback_ = nullptr;
    if (oDPP_) oDPP_->UnRegisterMessageHandler();
    oDPP_ = nullptr;
    blnConectado_ = false;
    if (isVisible()) QDialog::reject();
    deleteLater();
}

void FrmConexionDPlay::CloseForm(QWidget* oForm) {
    if (oForm) QMetaObject::invokeMethod(oForm, &QWidget::close, Qt::QueuedConnection);
}

// ------------------------------------------------------------- Aceptar

void FrmConexionDPlay::cmdAceptar_Click() {
    if (blnUniendo_) return; // a join is already waiting for its outcome
    opciones_.Opciones.strNombreJugador = txtNombre->text();
    opciones_.Opciones.strNombrePartida = txtGameName->text();
    strNombreUsuario_ = opciones_.Opciones.strNombreJugador;
    if (optHost->isChecked())
        CrearSesion();
    else
        UnirseASesion();
}

void FrmConexionDPlay::CrearSesion() {
    CursorEspera cursor;
    strNombreSesion_ = txtGameName->text();
    if (strNombreSesion_.isEmpty()) {
        MsgBox(QStringLiteral("Tienes que introducir un nombre para crear la sesión."),
               QStringLiteral("No name."), Icono::Informacion);
        return;
    }
    blnEsHost_ = true;
    if (!blnHospedarSesion()) {
        MsgBox(QStringLiteral("No se ha podido crear la sesión."), QStringLiteral("Error"),
               Icono::Critico);
        blnEsHost_ = false;
        return;
    }
    cuadros_.EscribirEnHistorial(QStringLiteral("Sesión '") + strNombreSesion_ +
                                 QStringLiteral("' creada con éxito."));
    blnConectado_ = true;
    if (optAlAzar->isChecked())
        blnEmpiezaJugador_ = Azar::intAleatorio(2) != 0;
    else
        blnEmpiezaJugador_ = optJugador->isChecked();
    accept();
}

bool FrmConexionDPlay::blnHospedarSesion() {
    if (!oDPP_) return false;
    DetenerBusqueda(); // a host does not go on looking for others
    oDPP_->SetPeerInfo(strNombreUsuario_);
    red::DPN_APPLICATION_DESC desc;
    desc.SessionName = strNombreSesion_;
    desc.guidApplication = sGuid_;
    desc.lMaxPlayers = lngUsuariosMax_;
    if (oDPP_->Host(desc, strGuidProveedor()) != red::DPN_OK) return false;
    lngNumPlayers_ = lngUsuariosMax_;
    return true;
}

void FrmConexionDPlay::UnirseASesion() {
    QListWidgetItem* item = lstPartidas->currentItem();
    const int intIndice = item && item->isSelected() ? item->data(Qt::UserRole).toInt() : -1;
    if (intIndice < 0 || intIndice >= static_cast<int>(aPartidas_.size()) || !oDPP_) {
        MsgBox(QStringLiteral("Primero tienes que seleccionar una sesión de la lista."),
               QStringLiteral("Seleccionar juego"), Icono::Informacion);
        return;
    }
    const PartidaEncontrada partida = aPartidas_[static_cast<std::size_t>(intIndice)];
    oDPP_->SetPeerInfo(strNombreUsuario_);
    blnIgnorarRespuestas_ = true;
    lngNumPlayers_ = partida.desc.lMaxPlayers;

    QPointer<FrmConexionDPlay> vivo(this);
    blnConexionTerminada_ = false;
    blnConexionCorrecta_ = false;
    blnUniendo_ = true;
    cmdAceptar->setEnabled(false);
    {
        CursorEspera cursor;
        lngHandleConexion_ =
            oDPP_->Connect(partida.desc, partida.strUrlHost, partida.strUrlDispositivo);
        while (vivo && !blnConexionTerminada_ && !blnCerrando_)
            Pausa(5);
    }
    if (!vivo) return;
    blnUniendo_ = false;
    lngHandleConexion_ = 0;
    cmdAceptar->setEnabled(true);

    if (blnConexionCorrecta_ && !blnCerrando_) {
        DetenerBusqueda();
        strNombreSesion_ = partida.desc.SessionName;
        blnEsHost_ = false;
        if (isVisible()) accept();
        return;
    }
    // Not joined: the search goes on as before.
    blnIgnorarRespuestas_ = intEstadoBusqueda_ != 1;
}

// -------------------------------------------------------------- search

void FrmConexionDPlay::cmdRefresh_Click() {
    if (!oDPP_) return;
    if (intEstadoBusqueda_ == 0) {
        blnIgnorarRespuestas_ = false;
        const std::int32_t h =
            oDPP_->EnumHosts(sGuid_, strGuidProveedor(), txtDireccion->text().trimmed());
        if (h == 0) {
            blnIgnorarRespuestas_ = true;
            MsgBox(QStringLiteral("No se puede buscar en la dirección escrita. Escribe el nombre o "
                                  "la dirección del equipo (por ejemplo 192.168.1.20 o "
                                  "equipo:47810), o déjala vacía para buscar en la red local."),
                   QStringLiteral("Error"), Icono::Critico);
            return;
        }
        lngHandleBusqueda_ = h;
        cmdRefresh->setText(QStringLiteral("Detener búsqueda"));
        intEstadoBusqueda_ = 1;
    } else {
        DetenerBusqueda();
    }
}

void FrmConexionDPlay::DetenerBusqueda() {
    blnIgnorarRespuestas_ = true;
    if (oDPP_ && lngHandleBusqueda_ != 0) oDPP_->CancelAsyncOperation(lngHandleBusqueda_);
    lngHandleBusqueda_ = 0;
    if (cmdRefresh) cmdRefresh->setText(QStringLiteral("Iniciar búsqueda"));
    intEstadoBusqueda_ = 0;
}

void FrmConexionDPlay::ActualizarListaPartidas(const red::DPNMSG_ENUM_HOSTS_RESPONSE& r) {
    if (blnIgnorarRespuestas_) return;
    const QString texto = TextoPartida(r);
    for (std::size_t i = 0; i < aPartidas_.size(); ++i) {
        PartidaEncontrada& p = aPartidas_[i];
        if (p.desc.guidInstance != r.ApplicationDescription.guidInstance) continue;
        p.lngUltimaRespuesta = Ahora();
        p.desc = r.ApplicationDescription;
        p.strUrlHost = r.HostAddressUrl;
        p.strUrlDispositivo = r.DeviceAddressUrl;
        for (int k = 0; k < lstPartidas->count(); ++k) {
            QListWidgetItem* item = lstPartidas->item(k);
            if (item->data(Qt::UserRole).toInt() == static_cast<int>(i) && item->text() != texto)
                item->setText(texto);
        }
        return;
    }
    if (aPartidas_.empty()) lstPartidas->clear();
    aPartidas_.push_back({r.ApplicationDescription, r.HostAddressUrl, r.DeviceAddressUrl, Ahora()});
    auto* item = new QListWidgetItem(texto, lstPartidas);
    item->setData(Qt::UserRole, static_cast<int>(aPartidas_.size() - 1));
}

void FrmConexionDPlay::tmrExpire_Timer() {
    const qint64 ahora = Ahora();
    // Every record past its time goes in one sweep; the lines of the records
    // after it are renumbered so they keep pointing at the right game.
    for (std::size_t i = 0; i < aPartidas_.size();) {
        if (ahora - aPartidas_[i].lngUltimaRespuesta <= kCaducidadMs) {
            ++i;
            continue;
        }
        const int quitado = static_cast<int>(i);
        for (int k = lstPartidas->count() - 1; k >= 0; --k) {
            QListWidgetItem* item = lstPartidas->item(k);
            const int d = item->data(Qt::UserRole).toInt();
            if (d == quitado)
                delete lstPartidas->takeItem(k);
            else if (d > quitado)
                item->setData(Qt::UserRole, d - 1);
        }
        aPartidas_.erase(aPartidas_.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

// -------------------------------------------------------------- events

void FrmConexionDPlay::DirectPlay8Event_CreatePlayer(std::int32_t lPlayerID) {
    if (oCallback_) oCallback_->DirectPlay8Event_CreatePlayer(lPlayerID);
}

void FrmConexionDPlay::DirectPlay8Event_DestroyPlayer(std::int32_t lPlayerID,
                                                      std::int32_t lReason) {
    if (oCallback_) oCallback_->DirectPlay8Event_DestroyPlayer(lPlayerID, lReason);
}

void FrmConexionDPlay::DirectPlay8Event_Receive(const red::DPNMSG_RECEIVE& dpnotify) {
    if (oCallback_) oCallback_->DirectPlay8Event_Receive(dpnotify);
}

void FrmConexionDPlay::DirectPlay8Event_ConnectComplete(
    const red::DPNMSG_CONNECT_COMPLETE& dpnotify) {
    blnConexionTerminada_ = true;
    if (dpnotify.hResultCode == red::DPNERR_SESSIONFULL) {
        MsgBox(QStringLiteral(
                   "Ya hay dos personas jugando, puedes elegir otra sesión o crear tú una."),
               QStringLiteral("Lleno"), Icono::Informacion);
        return;
    }
    if (dpnotify.hResultCode != red::DPN_OK) {
        // Refused, unanswered or another program: never a joined session.
        if (dpnotify.hResultCode != red::DPNERR_USERCANCEL && !blnCerrando_)
            MsgBox(QStringLiteral("No se ha podido conectar con la partida elegida."),
                   QStringLiteral("Error"), Icono::Critico);
        return;
    }
    blnConexionCorrecta_ = true;
    // Written now, before the host's first messages (they may follow at once).
    if (blnUniendo_) {
        cuadros_.EscribirEnHistorial(QStringLiteral("Te has unido a la sesión."));
        blnConectado_ = true;
    }
    if (oCallback_) oCallback_->DirectPlay8Event_ConnectComplete(dpnotify);
}

void FrmConexionDPlay::DirectPlay8Event_EnumHostsResponse(
    const red::DPNMSG_ENUM_HOSTS_RESPONSE& dpnotify) {
    ActualizarListaPartidas(dpnotify);
    if (oCallback_) oCallback_->DirectPlay8Event_EnumHostsResponse(dpnotify);
}

void FrmConexionDPlay::DirectPlay8Event_AsyncOpComplete(
    const red::DPNMSG_ASYNC_OP_COMPLETE& dpnotify) {
    if (dpnotify.hAsyncOp != 0 && dpnotify.hAsyncOp == lngHandleBusqueda_) {
        lngHandleBusqueda_ = 0;
        // A search that ended by itself leaves the button ready to start again.
        if (intEstadoBusqueda_ == 1) {
            intEstadoBusqueda_ = 0;
            blnIgnorarRespuestas_ = true;
            cmdRefresh->setText(QStringLiteral("Iniciar búsqueda"));
        }
    }
    if (oCallback_) oCallback_->DirectPlay8Event_AsyncOpComplete(dpnotify);
}

} // namespace brumaria
