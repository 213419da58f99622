#include "net/mapeo_puertos.h"

#include "platform/solo_local.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>
#include <arpa/inet.h>
#include <natpmp.h>
#include <sys/select.h>

namespace brumaria::red {

namespace {

// The router's answer when it keeps only permanent mappings.
constexpr int kSoloPermanentes = 725;
// How long the router search listens for answers (the library's unit, ms):
// a router answers within milliseconds, and a NAT-PMP router must still
// be asked inside the host's time limit when no UPnP one answered.
constexpr int kEsperaBusquedaMs = 1000;
// Our refusal code when the NAT-PMP router said no (its own code added).
constexpr int kRechazoNatPmp = 1000;
constexpr const char* kDescripcion = "Brumaria";
constexpr const char* kTipoRouter = "urn:schemas-upnp-org:device:InternetGatewayDevice:1";
constexpr const char* kProtocolos[] = {"TCP", "UDP"};

bool blnUrlLocal(const char* url) {
    const QHostAddress dir(QUrl(QString::fromUtf8(url ? url : "")).host());
    return !dir.isNull() && dir.isLoopback();
}

// Runs `f` on the window's thread, if `dueno` still lives then.
template <typename F> void EnLaVentana(QPointer<QObject> dueno, F f) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [dueno, f = std::move(f)] {
            if (dueno) f();
        },
        Qt::QueuedConnection);
}

using Reloj = std::chrono::steady_clock;

// One NAT-PMP question already sent, answered by `hasta` or given up:
// 0 and the answer, or libnatpmp's error.
int RespuestaNatPmp(natpmp_t& n, Reloj::time_point hasta, natpmpresp_t& r) {
    for (;;) {
        timeval tv{};
        if (getnatpmprequesttimeout(&n, &tv) < 0) return NATPMP_ERR_NOPENDINGREQ;
        const auto quedan =
            std::chrono::duration_cast<std::chrono::microseconds>(hasta - Reloj::now()).count();
        if (quedan <= 0) return NATPMP_ERR_NOGATEWAYSUPPORT;
        const long long espera = std::min<long long>(
            quedan, std::max<long long>(0, tv.tv_sec * 1000000LL + tv.tv_usec));
        tv.tv_sec = static_cast<time_t>(espera / 1000000);
        tv.tv_usec = static_cast<suseconds_t>(espera % 1000000);
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(n.s, &fds);
        select(n.s + 1, &fds, nullptr, nullptr, &tv);
        const int e = readnatpmpresponseorretry(&n, &r);
        if (e != NATPMP_TRYAGAIN) return e;
    }
}

} // namespace

// The second way, for routers that speak NAT-PMP (or PCP, which answers
// it) and not UPnP: the default gateway is asked for its public address
// while the UPnP search runs, and maps only when no UPnP router answered.
struct NatPmp {
    natpmp_t n{};
    bool blnAbierto = false; // the socket
    bool blnRouter = false;  // the gateway answered
    QString externa;
    quint16 puertoPublico = 0;

    ~NatPmp() {
        if (blnAbierto) closenatpmp(&n);
    }
    bool Encontrar(Reloj::time_point hasta) {
        blnAbierto = initnatpmp(&n, 0, 0) == 0;
        natpmpresp_t r{};
        if (!blnAbierto || sendpublicaddressrequest(&n) < 0 || RespuestaNatPmp(n, hasta, r) != 0 ||
            r.type != NATPMP_RESPTYPE_PUBLICADDRESS)
            return false;
        char texto[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &r.pnu.publicaddress.addr, texto, sizeof texto);
        externa = QString::fromLatin1(texto);
        return blnRouter = true;
    }
    // Both protocols for `arriendo` seconds (0 removes them); 0 or our
    // refusal code.
    int Pedir(quint16 puerto, std::uint32_t arriendo, Reloj::time_point hasta) {
        for (const int p : {NATPMP_PROTOCOL_TCP, NATPMP_PROTOCOL_UDP}) {
            natpmpresp_t r{};
            if (sendnewportmappingrequest(&n, p, puerto, arriendo ? puertoPublico : 0, arriendo) < 0)
                return -1;
            const int e = RespuestaNatPmp(n, hasta, r);
            if (e == NATPMP_ERR_NOGATEWAYSUPPORT) return -2;
            if (e != 0) return kRechazoNatPmp - e;
            if (p == NATPMP_PROTOCOL_TCP && arriendo) puertoPublico = r.pnu.newportmapping.mappedpublicport;
        }
        return 0;
    }
};

// What the worker threads share: the router found and one lock, so that
// adding, refreshing and removing never overlap.
struct MapeoPuertos::Trabajo {
    std::mutex cerrojo;
    UPNPUrls urls{};
    IGDdatas datos{};
    bool blnRouter = false;
    char lan[64]{};
    std::string puerto;
    std::string arriendo;
    std::unique_ptr<NatPmp> natpmp; // set when it is NAT-PMP that maps

    ~Trabajo() {
        if (blnRouter) FreeUPNPUrls(&urls);
    }

    // Finds the router; false when there is none to talk to. In local-only
    // mode only a router described on a loopback address, whose control
    // address is on loopback too, is ever spoken to.
    bool Encontrar(const QString& urlRouter) {
        if (blnRouter) return true;
        int r = 0;
        if (!urlRouter.isEmpty()) {
            const QByteArray url = urlRouter.toUtf8();
            if (blnSoloLocal() && !blnUrlLocal(url.constData())) return false;
            r = UPNP_GetIGDFromUrl(url.constData(), &urls, &datos, lan, sizeof lan);
        } else {
            if (blnSoloLocal()) return false;
            int error = 0;
            // One search for the gateway itself: every version of it answers
            // to the first, and asking for each kind in turn would cost the
            // wait several times over when there is none.
            UPNPDev* lista = upnpDiscoverDevice(kTipoRouter, kEsperaBusquedaMs, nullptr, nullptr,
                                                0, 0, 2, &error);
            if (!lista) return false;
            r = UPNP_GetValidIGD(lista, &urls, &datos, lan, sizeof lan);
            freeUPNPDevlist(lista);
            if (r != 1 && r != 2) {
                if (r != 0) FreeUPNPUrls(&urls);
                return false;
            }
        }
        if (r == 0) return false;
        blnRouter = true;
        return !blnSoloLocal() || blnUrlLocal(urls.controlURL);
    }

    // Both protocols; 0 or the router's error code.
    int Anadir() {
        if (natpmp)
            return natpmp->Pedir(static_cast<quint16>(std::stoi(puerto)),
                                 static_cast<std::uint32_t>(std::stoul(arriendo)),
                                 Reloj::now() + std::chrono::seconds(2));
        for (const char* p : kProtocolos) {
            int r = UPNP_AddPortMapping(urls.controlURL, datos.first.servicetype, puerto.c_str(),
                                        puerto.c_str(), lan, kDescripcion, p, nullptr,
                                        arriendo.c_str());
            if (r == kSoloPermanentes && arriendo != "0") {
                arriendo = "0";
                r = UPNP_AddPortMapping(urls.controlURL, datos.first.servicetype, puerto.c_str(),
                                        puerto.c_str(), lan, kDescripcion, p, nullptr, "0");
            }
            if (r != UPNPCOMMAND_SUCCESS) return r;
        }
        return 0;
    }

    void Quitar() {
        if (natpmp) {
            natpmp->Pedir(static_cast<quint16>(std::stoi(puerto)), 0,
                          Reloj::now() + std::chrono::seconds(1));
            return;
        }
        if (!blnRouter) return;
        for (const char* p : kProtocolos)
            UPNP_DeletePortMapping(urls.controlURL, datos.first.servicetype, puerto.c_str(), p,
                                   nullptr);
    }
};

// The removals on their way, for closing to wait for.
struct MapeoPuertos::Quitando {
    std::mutex cerrojo;
    std::condition_variable fin;
    int intPendientes = 0;
};

void MapeoPuertos::QuitarAparte(std::shared_ptr<Trabajo> t) {
    {
        std::lock_guard<std::mutex> l(quitando_->cerrojo);
        ++quitando_->intPendientes;
    }
    std::thread([t = std::move(t), q = quitando_] {
        {
            std::lock_guard<std::mutex> l(t->cerrojo);
            t->Quitar();
        }
        std::lock_guard<std::mutex> l(q->cerrojo);
        --q->intPendientes;
        q->fin.notify_all();
    }).detach();
}

MapeoPuertos::MapeoPuertos(QObject* parent)
    : QObject(parent), quitando_(std::make_shared<Quitando>()), limite_(new QTimer(this)),
      renovar_(new QTimer(this)) {
    limite_->setSingleShot(true);
    connect(limite_, &QTimer::timeout, this, [this] {
        if (estado_ != Estado::Preguntando) return;
        estado_ = Estado::Rechazado;
        intCodigo_ = -2;
        emit cambiado();
    });
    connect(renovar_, &QTimer::timeout, this, &MapeoPuertos::Renovar);
}

MapeoPuertos::~MapeoPuertos() {
    // A host closing the program: the mapping goes now, or by its lease.
    if (trabajo_ && estado_ != Estado::Inactivo) QuitarAparte(trabajo_);
    std::unique_lock<std::mutex> l(quitando_->cerrojo);
    quitando_->fin.wait_for(l, std::chrono::milliseconds(tiempos_.intEsperaCierreMs),
                            [this] { return quitando_->intPendientes == 0; });
}

void MapeoPuertos::Abrir(quint16 puerto, const QString& urlRouter) {
    Cerrar();
    puerto_ = puerto;
    direccion_.clear();
    intCodigo_ = 0;
    estado_ = Estado::Preguntando;
    trabajo_ = std::make_shared<Trabajo>();
    trabajo_->puerto = std::to_string(puerto);
    trabajo_->arriendo = std::to_string(tiempos_.intArriendoS);
    limite_->start(tiempos_.intLimiteMs);
    emit cambiado();
    const std::shared_ptr<Trabajo> t = trabajo_;
    QPointer<QObject> yo(this);
    const Reloj::time_point hasta = Reloj::now() + std::chrono::milliseconds(tiempos_.intLimiteMs);
    std::thread([t, yo, urlRouter, puerto, hasta] {
        std::lock_guard<std::mutex> l(t->cerrojo);
        int codigo = -1;
        QString direccion;
        // NAT-PMP asks the default gateway, never a loopback address: not
        // in local-only mode, nor when a router was named.
        std::future<std::unique_ptr<NatPmp>> natpmp;
        if (urlRouter.isEmpty() && !blnSoloLocal())
            natpmp = std::async(std::launch::async, [hasta] {
                auto n = std::make_unique<NatPmp>();
                return n->Encontrar(hasta) ? std::move(n) : nullptr;
            });
        if (t->Encontrar(urlRouter)) {
            codigo = t->Anadir();
            char externa[64] = {};
            if (codigo == 0 &&
                UPNP_GetExternalIPAddress(t->urls.controlURL, t->datos.first.servicetype,
                                          externa) == UPNPCOMMAND_SUCCESS)
                direccion = QStringLiteral("%1:%2").arg(QString::fromLatin1(externa)).arg(puerto);
        } else if (natpmp.valid() && (t->natpmp = natpmp.get())) {
            t->natpmp->puertoPublico = puerto;
            codigo = t->natpmp->Pedir(puerto, static_cast<std::uint32_t>(std::stoul(t->arriendo)),
                                      hasta);
            if (codigo == 0)
                direccion = QStringLiteral("%1:%2").arg(t->natpmp->externa).arg(t->natpmp->puertoPublico);
        }
        EnLaVentana(yo, [yo, t, codigo, direccion] {
            auto* m = static_cast<MapeoPuertos*>(yo.data());
            if (m->trabajo_ != t) { // closed or replaced meanwhile: undo it
                if (codigo == 0) m->QuitarAparte(t);
                return;
            }
            m->Terminado(codigo == 0, direccion, codigo);
        });
    }).detach();
}

void MapeoPuertos::Terminado(bool blnAbierto, const QString& strDireccion, int intCodigo) {
    limite_->stop();
    if (estado_ != Estado::Preguntando) {
        // The time ran out first: the player was told to open it by hand,
        // so a late mapping is not kept behind his back.
        if (blnAbierto) QuitarAparte(trabajo_);
        trabajo_.reset();
        return;
    }
    estado_ = blnAbierto ? Estado::Abierto : Estado::Rechazado;
    direccion_ = strDireccion;
    intCodigo_ = blnAbierto ? 0 : intCodigo;
    // A permanent mapping needs no refresh; a leased one is renewed at half.
    if (blnAbierto && trabajo_->arriendo != "0")
        renovar_->start(std::max(1, tiempos_.intArriendoS / 2) * 1000);
    emit cambiado();
}

void MapeoPuertos::Renovar() {
    if (estado_ != Estado::Abierto || !trabajo_) return;
    std::thread([t = trabajo_] {
        std::lock_guard<std::mutex> l(t->cerrojo);
        t->Anadir();
    }).detach();
}

void MapeoPuertos::Cerrar() {
    limite_->stop();
    renovar_->stop();
    if (trabajo_ && estado_ != Estado::Inactivo) QuitarAparte(trabajo_);
    trabajo_.reset();
    const bool blnCambia = estado_ != Estado::Inactivo;
    estado_ = Estado::Inactivo;
    direccion_.clear();
    if (blnCambia) emit cambiado();
}

QString MapeoPuertos::strTextoBreve() const {
    if (estado_ != Estado::Rechazado) return strTextoParaElAnfitrion();
    return QStringLiteral("Para jugar por Internet, abre el puerto %1 (TCP y UDP) en el router.")
        .arg(puerto_);
}

QString MapeoPuertos::strTextoParaElAnfitrion() const {
    const QString p = QString::number(puerto_);
    switch (estado_) {
    case Estado::Inactivo:
        return {};
    case Estado::Preguntando:
        return QStringLiteral("Pidiendo al router que abra el puerto %1...").arg(p);
    case Estado::Abierto:
        if (direccion_.isEmpty())
            return QStringLiteral("El router ha abierto el puerto %1, pero no dice tu dirección "
                                  "pública.")
                .arg(p);
        return QStringLiteral("Tu dirección para jugar por Internet: ") + direccion_;
    case Estado::Rechazado:
        break;
    }
    const QString aMano =
        QStringLiteral(
            "para jugar por Internet, abre a mano el puerto %1 (TCP y UDP) en el router.")
            .arg(p);
    if (intCodigo_ == -1)
        return QStringLiteral("No se ha encontrado un router que abra puertos (UPnP ni NAT-PMP): ") +
               aMano;
    if (intCodigo_ == -2) return QStringLiteral("El router no ha contestado a tiempo: ") + aMano;
    if (intCodigo_ > kRechazoNatPmp)
        return QStringLiteral("El router no ha abierto el puerto (NAT-PMP, error %1): ")
                   .arg(intCodigo_ - kRechazoNatPmp) +
               aMano;
    return QStringLiteral("El router no ha abierto el puerto (error %1): ").arg(intCodigo_) + aMano;
}

} // namespace brumaria::red
