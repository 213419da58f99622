#include "net/invitacion/invitacion.h"

#include "net/invitacion/cita_dht.h"
#include "net/invitacion/codigo.h"
#include "net/invitacion/enlace_ice.h"
#include "net/busqueda.h"
#include "platform/solo_local.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QDateTime>
#include <QThread>
#include <utility>

namespace brumaria::red::invitacion {

namespace {

// Each step and each answer of the DHT and ICE, for whoever needs to see
// why two games did not meet: QT_LOGGING_RULES="brumaria.invitacion=true".
Q_LOGGING_CATEGORY(lcInvitacion, "brumaria.invitacion", QtWarningMsg)

const QByteArray kSalOferta = QByteArrayLiteral("brumaria-oferta");
const QByteArray kSalRespuesta = QByteArrayLiteral("brumaria-respuesta");

// "host:port" entries as the ICE link takes them (names are resolved there).
std::vector<std::pair<QString, std::uint16_t>> Servidores(const QStringList& lista,
                                                          quint16 porDefecto) {
    std::vector<std::pair<QString, std::uint16_t>> r;
    for (const QString& e : lista) {
        QString host;
        quint16 puerto = 0;
        if (PartirDireccion(e, host, puerto, porDefecto)) r.emplace_back(host, puerto);
    }
    return r;
}

} // namespace

Invitacion::Entorno EntornoDelEquipo() {
    Invitacion::Entorno e;
    e.ajustes = LeerAjustesInternet();
    e.blnRedPrivada = e.ajustes.blnDhtPrivada;
    if (blnSoloLocal()) {
        e.direccionesLocales = {QHostAddress(QHostAddress::LocalHost)};
        e.interfacesDht = QStringLiteral("127.0.0.1:0");
    }
    return e;
}

Invitacion::Invitacion(QObject* parent) : QObject(parent) {
    for (QTimer* t : {&limite_, &vida_, &sondeo_}) t->setSingleShot(true);
    connect(&limite_, &QTimer::timeout, this, [this] {
        switch (estado_) {
        case EstadoInvitacion::Buscando:
            Fallar(Fallo::CodigoDesconocido);
            break;
        case EstadoInvitacion::Derivando:
        case EstadoInvitacion::Preparando:
        case EstadoInvitacion::Publicando:
            Fallar(Fallo::SinRed);
            break;
        default:
            Fallar(Fallo::SinCruzar);
        }
    });
    connect(&vida_, &QTimer::timeout, this, [this] {
        if (estado_ == EstadoInvitacion::EsperandoAmigo || estado_ == EstadoInvitacion::Publicando)
            Fallar(Fallo::NadieRespondio);
    });
    sondeo_.setSingleShot(false);
    connect(&sondeo_, &QTimer::timeout, this, &Invitacion::Buscar);
}

Invitacion::~Invitacion() {
    Liberar();
}

qint64 Invitacion::AhoraUnix() const {
    return entorno_.relojUnix ? entorno_.relojUnix() : QDateTime::currentSecsSinceEpoch();
}

void Invitacion::Pasar(EstadoInvitacion e) {
    if (e == estado_) return;
    qCDebug(lcInvitacion) << "paso" << int(estado_) << "->" << int(e);
    estado_ = e;
    const QString t = TextoPaso(e, papel_);
    if (!t.isEmpty()) emit paso(e, t);
}

void Invitacion::Liberar() {
    ++generacion_;
    for (QTimer* t : {&limite_, &vida_, &sondeo_}) t->stop();
    if (tunel_) tunel_->Cerrar();
    // Any of them may be the one whose signal brought us here.
    if (tunel_) tunel_.release()->deleteLater();
    if (ice_) {
        ice_->Cerrar();
        ice_.release()->deleteLater();
    }
    if (dht_) dht_.release()->deleteLater();
    sesion_.reset();
    antesDelTunel_.clear();
    blnIceArriba_ = false;
    claves_.reset();
    iceLocal_.reset();
    blnDhtLista_ = false;
    puestas_ = 0;
}

void Invitacion::Publicar(const QByteArray& sal, const QByteArray& valor) {
    ++puestas_;
    dht_->Publicar(claves_->semillaFirma, sal, valor);
}

// Once connected the DHT has nothing more to give: a player stays a node of
// it no longer than his last put (the host's "used" mark) takes.
void Invitacion::DejarLaDhtSiNadaQueda() {
    if (estado_ != EstadoInvitacion::Conectada || puestas_ > 0 || !dht_) return;
    qCDebug(lcInvitacion) << "DHT: dejada";
    // Nothing it still has queued may reach the match; we may be inside
    // one of its signals.
    QObject::disconnect(dht_.get(), nullptr, this, nullptr);
    dht_.release()->deleteLater();
    blnDhtLista_ = false;
}

void Invitacion::Cancelar() {
    Liberar();
    estado_ = EstadoInvitacion::Inactiva;
}

void Invitacion::Fallar(Fallo f) {
    if (estado_ == EstadoInvitacion::Terminada || estado_ == EstadoInvitacion::Inactiva) return;
    qCDebug(lcInvitacion) << "falla en el paso" << int(estado_) << f;
    Liberar();
    estado_ = EstadoInvitacion::Terminada;
    emit fallida(f, TextoFallo(f));
}

// ---------------------------------------------------------------- start

void Invitacion::Anfitrionar(quint16 puertoJuego, const QString& guidInstancia,
                             const QString& nombrePartida) {
    Cancelar();
    puertoJuego_ = puertoJuego;
    oferta_ = Oferta{};
    oferta_.guidInstancia = guidInstancia;
    oferta_.nombrePartida = nombrePartida;
    codigo_ = CodigoNuevo();
    papel_ = Papel::Anfitrion;
    emit codigoListo(codigo_);
    Empezar(Papel::Anfitrion);
}

void Invitacion::Unirse(const QString& codigo) {
    Cancelar();
    codigo_ = codigo;
    oferta_ = Oferta{};
    papel_ = Papel::Invitado;
    Empezar(Papel::Invitado);
}

void Invitacion::Empezar(Papel p) {
    papel_ = p;
    estado_ = EstadoInvitacion::Inactiva;
    Pasar(EstadoInvitacion::Derivando);
    // The guest's whole search, from the code typed, has one bound.
    limite_.start(p == Papel::Invitado ? entorno_.limiteBusquedaMs : entorno_.limiteConexionMs);
    if (p == Papel::Anfitrion) vida_.start(entorno_.vidaCodigoMs);

    // Argon2id takes a good part of a second: never on the UI thread.
    const quint64 gen = generacion_;
    QPointer<Invitacion> yo(this);
    const QString codigo = codigo_;
    QThread* hilo = QThread::create([yo, gen, codigo] {
        std::optional<ClavesCodigo> c = DerivarClaves(codigo);
        QMetaObject::invokeMethod(
            qApp, [yo, gen, c] {
                if (yo && yo->generacion_ == gen) yo->ClavesListas(c);
            },
            Qt::QueuedConnection);
    });
    connect(hilo, &QThread::finished, hilo, &QObject::deleteLater);
    hilo->start();
}

void Invitacion::ClavesListas(std::optional<ClavesCodigo> claves) {
    if (estado_ != EstadoInvitacion::Derivando) return;
    if (!claves) {
        Fallar(Fallo::Interno);
        return;
    }
    const std::optional<ParKx> kx = ParKxNuevo();
    if (!kx) {
        Fallar(Fallo::Interno);
        return;
    }
    claves_ = std::move(claves);
    kx_ = *kx;
    Pasar(EstadoInvitacion::Preparando);

    CitaDht::Ajustes ad;
    for (const QString& n : entorno_.ajustes.nodosDht) ad.nodosArranque.push_back(n);
    ad.interfaces = entorno_.interfacesDht;
    ad.blnRedPrivada = entorno_.blnRedPrivada;
    dht_ = std::make_unique<CitaDht>(ad);
    connect(dht_.get(), &CitaDht::arrancada, this, [this] {
        if (blnDhtLista_) return;
        blnDhtLista_ = true;
        Preparado();
    });
    connect(dht_.get(), &CitaDht::fallo, this, [this](const QString& motivo) {
        qCDebug(lcInvitacion) << "DHT: fallo" << motivo;
        if (estado_ == EstadoInvitacion::Conectada) return; // the match needs it no more
        Fallar(Fallo::SinRed);
    });
    connect(dht_.get(), &CitaDht::publicada, this, [this](const QByteArray& sal, int nodos) {
        qCDebug(lcInvitacion) << "DHT: publicada" << sal << "en" << nodos << "nodos";
        if (sal != kSalOferta && sal != kSalRespuesta) return;
        if (puestas_ > 0) --puestas_;
        if (estado_ == EstadoInvitacion::Conectada) {
            DejarLaDhtSiNadaQueda();
            return;
        }
        if (nodos <= 0 && estado_ == EstadoInvitacion::Publicando) {
            Fallar(Fallo::SinRed);
            return;
        }
        if (estado_ == EstadoInvitacion::Publicando) {
            Pasar(EstadoInvitacion::EsperandoAmigo);
            limite_.stop(); // from now on the code's life bounds the wait
            EmpezarASondear();
        }
    });
    connect(dht_.get(), &CitaDht::encontrada, this,
            [this](const QByteArray& sal, const QByteArray& valor, qint64 seq) {
                qCDebug(lcInvitacion) << "DHT: encontrada" << sal << "seq" << seq;
                Encontrada(sal, valor);
            });
    connect(dht_.get(), &CitaDht::noEncontrada, this, &Invitacion::NoEncontrada);

    EnlaceIce::Servidores s;
    s.stun = Servidores(entorno_.ajustes.stun, 3478);
    if (entorno_.ajustes.blnHayTurn()) {
        QString host;
        quint16 puerto = 0;
        if (PartirDireccion(entorno_.ajustes.turn, host, puerto, 3478)) {
            s.turnServidor = host;
            s.turnPuerto = puerto;
            s.turnUsuario = entorno_.ajustes.turnUsuario;
            s.turnClave = entorno_.ajustes.turnClave;
        }
    }
    ice_ = std::make_unique<EnlaceIce>(papel_ == Papel::Anfitrion, s, entorno_.direccionesLocales);
    EnlaceIce::Tiempos t;
    t.comprobacionMs = entorno_.limiteConexionMs; // the flow's bound is the one told
    ice_->FijarTiempos(t);
    connect(ice_.get(), &EnlaceIce::descripcionLista, this, [this](const DescripcionIce& d) {
        iceLocal_ = d;
        Preparado();
    });
    connect(ice_.get(), &EnlaceIce::conectado, this, &Invitacion::IceConectado);
    connect(ice_.get(), &EnlaceIce::datos, this, [this](const QByteArray& trozo) {
        qCDebug(lcInvitacion) << "ICE: llegan" << trozo.size() << "bytes";
        if (tunel_) {
            tunel_->Recibido(trozo);
            return;
        }
        // One side sees the link up before the other: what the friend's
        // side already sent (his stream's header, his game's hello) waits
        // for our tunnel, within the tunnel's own bound.
        antesDelTunel_ += trozo;
        if (antesDelTunel_.size() > kMaxPendienteTunel)
            Fallar(Fallo::Alterado);
        else if (blnIceArriba_ && papel_ == Papel::Invitado)
            AbrirTunel();
    });
    connect(ice_.get(), &EnlaceIce::fallido, this, [this](EnlaceIce::Fallo f) {
        qCDebug(lcInvitacion) << "ICE: fallido" << f;
        if (tunel_) {
            tunel_->EnlaceCaido();
            return;
        }
        Fallar(f == EnlaceIce::Fallo::RetransmisionRechazada ? Fallo::TurnRechazado
               : f == EnlaceIce::Fallo::Cerrado              ? Fallo::AmigoSeFue
               : f == EnlaceIce::Fallo::ServidorNoPermitido  ? Fallo::Interno
                                                             : Fallo::SinCruzar);
    });
    ice_->Reunir();
}

// Both the DHT and our candidates are ready: the host publishes, the
// guest looks for the offer.
void Invitacion::Preparado() {
    if (estado_ != EstadoInvitacion::Preparando || !blnDhtLista_) return;
    if (papel_ == Papel::Anfitrion) {
        if (iceLocal_) PublicarOferta();
        return;
    }
    if (!iceLocal_) return;
    Pasar(EstadoInvitacion::Buscando);
    EmpezarASondear();
}

// A lookup that finds nothing ends only once every node asked has
// answered or timed out, which takes 15 s whenever one sits behind a NAT:
// so a new one starts every pausaSondeoMs, a few at a time, and the first
// to find the item tells it.
void Invitacion::EmpezarASondear() {
    busquedas_ = 0;
    sondeo_.start(entorno_.pausaSondeoMs);
    Buscar();
}

void Invitacion::PublicarOferta() {
    oferta_.creadaUnix = AhoraUnix();
    oferta_.id = IdCitaNuevo();
    oferta_.clavePublicaKx = kx_.publica;
    oferta_.ice = *iceLocal_;
    oferta_.blnUsada = false;
    Pasar(EstadoInvitacion::Publicando);
    Publicar(kSalOferta, SellarOferta(*claves_, oferta_));
}

void Invitacion::Buscar() {
    if (!dht_ || !claves_ || busquedas_ >= kMaxBusquedasALaVez) return;
    const Clave32 publica = CitaDht::ClavePublica(claves_->semillaFirma);
    if (estado_ == EstadoInvitacion::Buscando)
        dht_->Buscar(publica, kSalOferta);
    else if (estado_ == EstadoInvitacion::EsperandoAmigo)
        dht_->Buscar(publica, kSalRespuesta);
    else
        return;
    ++busquedas_;
}

void Invitacion::NoEncontrada(const QByteArray& sal) {
    qCDebug(lcInvitacion) << "DHT: no encontrada" << sal;
    // The next look is already due (sondeo_), until the step's bound
    // (guest) or the code's life (host) runs out.
    if (busquedas_ > 0) --busquedas_;
}

void Invitacion::Encontrada(const QByteArray& sal, const QByteArray& valor) {
    if (busquedas_ > 0) --busquedas_;
    if (!claves_) return;
    if (estado_ == EstadoInvitacion::Buscando && sal == kSalOferta) {
        if (const std::optional<Oferta> o = AbrirOferta(*claves_, valor)) {
            OfertaLeida(*o);
            return;
        }
        // Not sealed under this code: as if nothing were there.
    } else if (estado_ == EstadoInvitacion::EsperandoAmigo && sal == kSalRespuesta) {
        const std::optional<Respuesta> r = AbrirRespuesta(*claves_, valor);
        // An answer to another offer (an old one, replayed) is not our guest.
        if (r && r->idOferta == oferta_.id &&
            ComprobarFrescura(r->creadaUnix, AhoraUnix()) == Frescura::Valida) {
            RespuestaLeida(*r);
        }
    }
}

void Invitacion::OfertaLeida(const Oferta& o) {
    const Frescura f = ComprobarFrescura(o.creadaUnix, AhoraUnix());
    if (f != Frescura::Valida) {
        Fallar(Fallo::CodigoCaducado);
        return;
    }
    if (o.blnUsada) {
        Fallar(Fallo::CodigoUsado);
        return;
    }
    const std::optional<ClavesSesion> s =
        ClavesDeSesion(false, kx_, o.clavePublicaKx, claves_->claveEnlace);
    if (!s || !ice_->blnFijarRemota(o.ice)) {
        Fallar(Fallo::CodigoDesconocido);
        return;
    }
    sondeo_.stop();
    oferta_ = o;
    sesion_ = *s;
    Respuesta r;
    r.creadaUnix = AhoraUnix();
    r.idOferta = o.id;
    r.clavePublicaKx = kx_.publica;
    r.ice = *iceLocal_;
    // The guest's bound runs on from the code typed: he is told within it.
    Pasar(EstadoInvitacion::Respondiendo);
    Publicar(kSalRespuesta, SellarRespuesta(*claves_, r));
}

void Invitacion::RespuestaLeida(const Respuesta& r) {
    const std::optional<ClavesSesion> s =
        ClavesDeSesion(true, kx_, r.clavePublicaKx, claves_->claveEnlace);
    if (!s || !ice_->blnFijarRemota(r.ice)) return; // not usable: the looking goes on
    sondeo_.stop();
    sesion_ = *s;
    vida_.stop();
    Pasar(EstadoInvitacion::Conectando);
    limite_.start(entorno_.limiteConexionMs);
    // Later guests learn at once that this code is spent.
    oferta_.blnUsada = true;
    Publicar(kSalOferta, SellarOferta(*claves_, oferta_));
}

void Invitacion::IceConectado(bool blnRetransmitido) {
    if (estado_ != EstadoInvitacion::Conectando && estado_ != EstadoInvitacion::Respondiendo)
        return;
    qCDebug(lcInvitacion) << "ICE: conectado" << (blnRetransmitido ? "por el relé" : "directo");
    blnRetransmitido_ = blnRetransmitido;
    blnIceArriba_ = true;
    // The guest's side sees the pair ready before the host has nominated
    // it, and what libnice's pseudo-TCP takes then is lost: the guest
    // speaks only once the host's stream header has come.
    if (papel_ == Papel::Invitado && antesDelTunel_.isEmpty()) return;
    AbrirTunel();
}

void Invitacion::AbrirTunel() {
    limite_.stop();
    EnlaceIce* ice = ice_.get();
    tunel_ = std::make_unique<Tunel>(*sesion_, [ice](QByteArrayView b) {
        qCDebug(lcInvitacion) << "ICE: salen" << b.size() << "bytes";
        return ice->blnEnviar(b);
    });
    connect(tunel_.get(), &Tunel::terminado, this, [this](Tunel::Fin fin) {
        qCDebug(lcInvitacion) << "túnel: fin" << fin;
        if (fin == Tunel::Fin::Alterado) {
            Fallar(Fallo::Alterado);
            return;
        }
        if (estado_ != EstadoInvitacion::Conectada) {
            Fallar(fin == Tunel::Fin::SinJuego ? Fallo::Interno : Fallo::AmigoSeFue);
            return;
        }
        Liberar();
        estado_ = EstadoInvitacion::Terminada;
        emit terminada();
    });
    if (tunel_->blnTerminado()) {
        Fallar(Fallo::AmigoSeFue);
        return;
    }
    if (!antesDelTunel_.isEmpty()) {
        const QByteArray previo = std::exchange(antesDelTunel_, QByteArray());
        tunel_->Recibido(previo);
        if (!tunel_ || tunel_->blnTerminado()) return;
    }
    if (papel_ == Papel::Anfitrion) {
        tunel_->ConectarAlJuego(puertoJuego_);
        Pasar(EstadoInvitacion::Conectada);
        DejarLaDhtSiNadaQueda();
        emit conectada(blnRetransmitido_);
        return;
    }
    const quint16 puerto = tunel_->EscucharParaElJuego();
    if (puerto == 0) {
        Fallar(Fallo::Interno);
        return;
    }
    Pasar(EstadoInvitacion::Conectada);
    DejarLaDhtSiNadaQueda();
    emit conectada(blnRetransmitido_);
    emit listaParaUnirse(puerto, oferta_.guidInstancia, oferta_.nombrePartida);
}

} // namespace brumaria::red::invitacion
