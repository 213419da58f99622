#include "net/mapeo_puertos.h"

#include "platform/solo_local.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <miniupnpc/upnperrors.h>

namespace brumaria::red {

namespace {

// The router's answer when it keeps only permanent mappings.
constexpr int kSoloPermanentes = 725;
// How long the router search listens for answers (the library's unit, ms).
constexpr int kEsperaBusquedaMs = 2000;
constexpr const char* kDescripcion = "Brumaria";
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

} // namespace

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
            UPNPDev* lista = upnpDiscover(kEsperaBusquedaMs, nullptr, nullptr, 0, 0, 2, &error);
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
        if (!blnRouter) return;
        for (const char* p : kProtocolos)
            UPNP_DeletePortMapping(urls.controlURL, datos.first.servicetype, puerto.c_str(), p,
                                   nullptr);
    }
};

void MapeoPuertos::QuitarAparte(std::shared_ptr<Trabajo> t) {
    std::thread([t = std::move(t)] {
        std::lock_guard<std::mutex> l(t->cerrojo);
        t->Quitar();
    }).detach();
}

MapeoPuertos::MapeoPuertos(QObject* parent)
    : QObject(parent), limite_(new QTimer(this)), renovar_(new QTimer(this)) {
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
    if (!trabajo_ || estado_ == Estado::Inactivo) return;
    // A host closing the program: the mapping goes now, or by its lease.
    std::promise<void> hecho;
    std::future<void> fin = hecho.get_future();
    std::thread([t = trabajo_, h = std::move(hecho)]() mutable {
        {
            std::lock_guard<std::mutex> l(t->cerrojo);
            t->Quitar();
        }
        h.set_value();
    }).detach();
    fin.wait_for(std::chrono::milliseconds(tiempos_.intEsperaCierreMs));
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
    std::thread([t, yo, urlRouter, puerto] {
        std::lock_guard<std::mutex> l(t->cerrojo);
        int codigo = -1;
        QString direccion;
        if (t->Encontrar(urlRouter)) {
            codigo = t->Anadir();
            char externa[64] = {};
            if (codigo == 0 &&
                UPNP_GetExternalIPAddress(t->urls.controlURL, t->datos.first.servicetype,
                                          externa) == UPNPCOMMAND_SUCCESS)
                direccion = QStringLiteral("%1:%2").arg(QString::fromLatin1(externa)).arg(puerto);
        }
        EnLaVentana(yo, [yo, t, codigo, direccion] {
            auto* m = static_cast<MapeoPuertos*>(yo.data());
            if (m->trabajo_ != t) { // closed or replaced meanwhile: undo it
                if (codigo == 0) QuitarAparte(t);
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
        return QStringLiteral("No se ha encontrado un router que abra puertos (UPnP): ") + aMano;
    if (intCodigo_ == -2) return QStringLiteral("El router no ha contestado a tiempo: ") + aMano;
    return QStringLiteral("El router no ha abierto el puerto (error %1): ").arg(intCodigo_) + aMano;
}

} // namespace brumaria::red
