#include "ui/net/frm_conexion_dplay.h"

#include "net/invitacion/invitacion.h"
#include "net/mensajes.h"
#include "net/moddplay.h"
#include "options/opciones.h"
#include "platform/mensajes.h"
#include "logs/cuadros_de_texto.h"

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
#include <algorithm>

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
    return protocolo::strTextoSeguro(r.ApplicationDescription.SessionName) +
           QStringLiteral(" - Latencia:") +
           QString::number(r.lRoundTripLatencyMS) + QStringLiteral(" ms");
}

} // namespace

FrmConexionDPlay::FrmConexionDPlay(ModDPlay& dplay, ModOpciones& opciones,
                                   ModCuadrosDeTexto& cuadros, QWidget* parent)
    : QDialog(parent), dplay_(dplay), opciones_(opciones), cuadros_(cuadros) {
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
    dplay_.FijarDialogo(nullptr);
    if (oDPP() && lngHandleBusqueda_ != 0) oDPP()->CancelAsyncOperation(lngHandleBusqueda_);
}

red::DirectPlay8Peer* FrmConexionDPlay::oDPP() const {
    return dplay_.oDPP();
}

bool FrmConexionDPlay::IsHost() const {
    return dplay_.blnEsHost();
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
    lblProgreso = new QLabel(this);
    nombrar(lblProgreso, "lblProgreso");
    lblProgreso->setWordWrap(true);
    lblProgreso->hide();
    capa->addWidget(lblProgreso);
    cmdAvanzado = new QPushButton(QStringLiteral("Avanzado…"), this);
    nombrar(cmdAvanzado, "cmdAvanzado");
    cmdAvanzado->setAutoDefault(false);
    cmdAvanzado->hide();
    auto* botones = new QHBoxLayout;
    botones->addWidget(cmdAvanzado);
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
    connect(lstSP, &QListWidget::currentRowChanged, this, &FrmConexionDPlay::ProveedorElegido);
    connect(cmdAvanzado, &QPushButton::clicked, this, &FrmConexionDPlay::cmdAvanzado_Click);
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
    ProveedorElegido();
    if (blnHost)
        txtGameName->setFocus();
    else
        cmdRefresh->setFocus();
}

ResultadoConexion FrmConexionDPlay::StartConnectWizard() {
    quienEmpieza_.reset();
    dplay_.FijarDialogo(this);

    lstSP->clear();
    int intElegido = 0;
    const int n = red::DirectPlay8Peer::GetCountServiceProviders();
    for (int i = 1; i <= n; ++i) {
        const red::ProveedorServicio sp = red::DirectPlay8Peer::GetServiceProvider(i);
        auto* item = new QListWidgetItem(sp.Name, lstSP);
        item->setData(Qt::UserRole, sp.Guid);
        if (sp.Name.contains(QStringLiteral("TCP"), Qt::CaseSensitive)) intElegido = i - 1;
    }
    if (invitacion_) {
        auto* item = new QListWidgetItem(red::invitacion::kNombreProveedorInvitacion, lstSP);
        item->setData(Qt::UserRole, red::invitacion::kGuidProveedorInvitacion);
    }
    if (lstSP->count() > 0) lstSP->setCurrentRow(intElegido);

    if (oDPP()) exec();
    dplay_.FijarDialogo(nullptr);
    ResultadoConexion r;
    const EstadoConexion e = dplay_.Estado();
    r.blnConectado = e == EstadoConexion::Conectados || e == EstadoConexion::Anfitrion;
    if (r.blnConectado && dplay_.blnEsHost()) r.quienEmpieza = quienEmpieza_;
    r.strNombreSesion = strNombreSesion_;
    return r;
}

QString FrmConexionDPlay::strGuidProveedor() const {
    const QListWidgetItem* item = lstSP->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

qint64 FrmConexionDPlay::Ahora() const {
    return reloj_ ? reloj_() : relojMonotono_.elapsed();
}

void FrmConexionDPlay::reject() {
    TerminarInvitacion();
    // Leaving while a join is pending abandons it.
    if (lngHandleConexion_ != 0 && oDPP()) oDPP()->CancelAsyncOperation(lngHandleConexion_);
    lngHandleConexion_ = 0;
    estadoUnion_ = EstadoUnion::Libre;
    if (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    DetenerBusqueda();
    QDialog::reject();
}

// ------------------------------------------------------------- Aceptar

void FrmConexionDPlay::cmdAceptar_Click() {
    // A join is already waiting for its outcome.
    if (estadoUnion_ != EstadoUnion::Libre) return;
    opciones_.Opciones.strNombreJugador = txtNombre->text();
    opciones_.Opciones.strNombrePartida = txtGameName->text();
    strNombreUsuario_ = opciones_.Opciones.strNombreJugador;
    if (optHost->isChecked())
        CrearSesion();
    else if (blnPorInvitacion())
        UnirseConInvitacion();
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
    DetenerBusqueda(); // a host does not go on looking for others
    // Through an invitation the session listens on this computer only: the
    // friend's link comes in through the tunnel.
    const QString strProveedor = blnPorInvitacion() ? red::kGuidProveedorLocal : strGuidProveedor();
    if (dplay_.HospedarSesion(strNombreUsuario_, strNombreSesion_, strProveedor) != red::DPN_OK) {
        MsgBox(QStringLiteral("No se ha podido crear la sesión."), QStringLiteral("Error"),
               Icono::Critico);
        return;
    }
    lngNumPlayers_ = ModDPlay::lngUsuariosMax;
    cuadros_.EscribirEnHistorial(QStringLiteral("Sesión '") + strNombreSesion_ +
                                 QStringLiteral("' creada con éxito."));
    // "Al azar" is drawn for each match of the session.
    quienEmpieza_ = optAlAzar->isChecked()    ? QuienEmpieza::AlAzar
                    : optJugador->isChecked() ? QuienEmpieza::Jugador
                                              : QuienEmpieza::Contrincante;
    accept();
}

void FrmConexionDPlay::UnirseASesion() {
    QListWidgetItem* item = lstPartidas->currentItem();
    const int intIndice = item && item->isSelected() ? item->data(Qt::UserRole).toInt() : -1;
    if (intIndice < 0 || intIndice >= static_cast<int>(aPartidas_.size()) || !oDPP()) {
        MsgBox(QStringLiteral("Primero tienes que seleccionar una sesión de la lista."),
               QStringLiteral("Seleccionar juego"), Icono::Informacion);
        return;
    }
    const PartidaEncontrada partida = aPartidas_[static_cast<std::size_t>(intIndice)];
    blnIgnorarRespuestas_ = true;
    lngNumPlayers_ = partida.desc.lMaxPlayers;
    strNombreSesion_ = partida.desc.SessionName;
    // The outcome comes as ConnectComplete; the dialog stays responsive meanwhile.
    lngHandleConexion_ = dplay_.UnirseASesion(strNombreUsuario_, partida.desc, partida.strUrlHost,
                                              partida.strUrlDispositivo);
    if (lngHandleConexion_ == 0) return;
    estadoUnion_ = EstadoUnion::PorDireccion;
    cmdAceptar->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

// -------------------------------------------------------------- search

void FrmConexionDPlay::cmdRefresh_Click() {
    if (!oDPP()) return;
    if (intEstadoBusqueda_ == 0) {
        blnIgnorarRespuestas_ = false;
        const std::int32_t h = oDPP()->EnumHosts(ModDPlay::sGuid, strGuidProveedor(),
                                                 txtDireccion->text().trimmed());
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
    if (oDPP() && lngHandleBusqueda_ != 0) oDPP()->CancelAsyncOperation(lngHandleBusqueda_);
    lngHandleBusqueda_ = 0;
    if (cmdRefresh) cmdRefresh->setText(QStringLiteral("Iniciar búsqueda"));
    intEstadoBusqueda_ = 0;
}

void FrmConexionDPlay::ActualizarListaPartidas(const red::DPNMSG_ENUM_HOSTS_RESPONSE& r) {
    if (blnIgnorarRespuestas_) return;
    const QString texto = TextoPartida(r);
    // One line per session id, and one per answering socket: a socket that
    // answers with a new id replaces its line (a host that began another
    // session, or a forger inventing ids, which so holds one line only).
    auto it = std::find_if(aPartidas_.begin(), aPartidas_.end(), [&r](const auto& p) {
        return p.desc.guidInstance == r.ApplicationDescription.guidInstance;
    });
    if (it == aPartidas_.end() && !r.SenderAddressUrl.isEmpty())
        it = std::find_if(aPartidas_.begin(), aPartidas_.end(),
                          [&r](const auto& p) { return p.strFuente == r.SenderAddressUrl; });
    if (it != aPartidas_.end()) {
        const auto i = static_cast<std::size_t>(it - aPartidas_.begin());
        PartidaEncontrada& p = *it;
        p.lngUltimaRespuesta = Ahora();
        p.desc = r.ApplicationDescription;
        p.strUrlHost = r.HostAddressUrl;
        p.strUrlDispositivo = r.DeviceAddressUrl;
        p.strFuente = r.SenderAddressUrl;
        for (int k = 0; k < lstPartidas->count(); ++k) {
            QListWidgetItem* item = lstPartidas->item(k);
            if (item->data(Qt::UserRole).toInt() == static_cast<int>(i) && item->text() != texto)
                item->setText(texto);
        }
        return;
    }
    if (aPartidas_.empty()) lstPartidas->clear();
    aPartidas_.push_back({r.ApplicationDescription, r.HostAddressUrl, r.DeviceAddressUrl,
                          r.SenderAddressUrl, Ahora()});
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

void FrmConexionDPlay::DirectPlay8Event_ConnectComplete(
    const red::DPNMSG_CONNECT_COMPLETE& dpnotify) {
    if (lngHandleConexion_ == 0) return;
    lngHandleConexion_ = 0;
    QApplication::restoreOverrideCursor();
    cmdAceptar->setEnabled(true);
    // A join through the tunnel that failed takes the tunnel with it.
    if (dpnotify.hResultCode != red::DPN_OK) TerminarInvitacion();
    estadoUnion_ = EstadoUnion::Libre;
    if (dpnotify.hResultCode == red::DPNERR_SESSIONFULL) {
        MsgBox(QStringLiteral(
                   "Ya hay dos personas jugando, puedes elegir otra sesión o crear tú una."),
               QStringLiteral("Lleno"), Icono::Informacion);
    } else if (dpnotify.hResultCode == red::DPNERR_OTRAVERSION) {
        MsgBox(QStringLiteral("La partida elegida es de otra versión de Brumaria, que juega de "
                              "otra manera. Para jugar juntos, los dos tenéis que usar la misma "
                              "versión."),
               QStringLiteral("Error"), Icono::Critico);
    } else if (dpnotify.hResultCode != red::DPN_OK) {
        // Refused, unanswered or another program: never a joined session.
        if (dpnotify.hResultCode != red::DPNERR_USERCANCEL)
            MsgBox(QStringLiteral("No se ha podido conectar con la partida elegida."),
                   QStringLiteral("Error"), Icono::Critico);
    } else {
        // Written now, before the host's first messages (they may follow at once).
        cuadros_.EscribirEnHistorial(QStringLiteral("Te has unido a la sesión."));
        DetenerBusqueda();
        accept();
        return;
    }
    // Not joined: the search goes on as before.
    blnIgnorarRespuestas_ = intEstadoBusqueda_ != 1;
}

void FrmConexionDPlay::DirectPlay8Event_EnumHostsResponse(
    const red::DPNMSG_ENUM_HOSTS_RESPONSE& dpnotify) {
    ActualizarListaPartidas(dpnotify);
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
}

} // namespace brumaria
