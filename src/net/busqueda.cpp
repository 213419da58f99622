#include "net/busqueda.h"

#include "core/azar.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QStandardPaths>
#include <QTimer>
#include <QUdpSocket>
#include <unistd.h>

namespace brumaria::red {

namespace {

// An answer slower than this is reported as this: a latency past a minute
// says only that the host is far too slow.
constexpr std::uint32_t kMaxLatenciaMs = 60000;
// The longest DNS name.
constexpr qsizetype kMaxNombreHost = 253;
// Datagrams read in one go: a flood still lets the window breathe between
// batches (the socket signals again for the rest).
constexpr int kMaxDatagramasPorTurno = 64;
// Sources a host keeps count of within one second; past that, every new
// source shares one allowance, so a spoofed flood cannot grow the table.
constexpr int kMaxFuentesContadas = 256;
// Recent query stamps an answer may echo: a few seconds of asking.
constexpr int kMaxMarcasRecientes = 8;
// A search for a typed address moves to a new port after this many queries.
constexpr int kPreguntasPorPuerto = 4;

QString& CarpetaFijada() {
    static QString carpeta;
    return carpeta;
}

std::uint32_t RelojMs() {
    static QElapsedTimer reloj = [] {
        QElapsedTimer r;
        r.start();
        return r;
    }();
    return static_cast<std::uint32_t>(reloj.elapsed());
}

void EnviarDatagrama(QUdpSocket* s, const QHostAddress& dir, quint16 puerto,
                     const QByteArray& datos) {
    if (!s || !DirectPlay8Peer::blnDestinoPermitido(dir) || puerto == 0) return;
    s->writeDatagram(datos, dir, puerto);
}

// All IPv6 nodes of a link: the IPv6 stand-in for a broadcast, with no
// group to join on the host's side.
const QHostAddress& GrupoTodosIPv6() {
    static const QHostAddress g(QStringLiteral("ff02::1"));
    return g;
}

QUdpSocket* SocketAbierto(QObject* dueno, const QHostAddress& dir, quint16 puerto,
                          bool blnCompartido) {
    auto* s = new QUdpSocket(dueno);
    const auto modo = blnCompartido ? QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint
                                    : QAbstractSocket::DefaultForPlatform;
    if (s->bind(dir, puerto, modo)) return s;
    delete s;
    return nullptr;
}

void CerrarUdp(QUdpSocket*& s) {
    if (!s) return;
    s->disconnect();
    s->close();
    s->deleteLater();
    s = nullptr;
}

} // namespace

void UdpDosFamilias::Abrir(QObject* dueno, bool blnSoloLoopback, quint16 puerto, bool blnCompartido,
                           const Lector& alLeer) {
    Cerrar();
    const QHostAddress v4(blnSoloLoopback ? QHostAddress::LocalHost : QHostAddress::AnyIPv4);
    const QHostAddress v6(blnSoloLoopback ? QHostAddress::LocalHostIPv6 : QHostAddress::AnyIPv6);
    v4_ = SocketAbierto(dueno, v4, puerto, blnCompartido);
    // The same number on IPv6, so one announced or typed port serves both.
    const quint16 p6 = puerto != 0 || !v4_ ? puerto : v4_->localPort();
    v6_ = SocketAbierto(dueno, v6, p6, blnCompartido);
    if (!v6_ && p6 != puerto) v6_ = SocketAbierto(dueno, v6, 0, blnCompartido);
    for (QUdpSocket* s : {v4_, v6_})
        if (s) QObject::connect(s, &QUdpSocket::readyRead, dueno, [s, alLeer] { alLeer(s); });
}

void UdpDosFamilias::Cerrar() {
    CerrarUdp(v4_);
    CerrarUdp(v6_);
}

std::uint16_t UdpDosFamilias::Puerto() const {
    return v4_ ? v4_->localPort() : v6_ ? v6_->localPort() : 0;
}

void UdpDosFamilias::Enviar(const QHostAddress& dir, quint16 puerto, const QByteArray& datos) const {
    bool esV4 = false;
    dir.toIPv4Address(&esV4);
    EnviarDatagrama(esV4 ? v4_ : v6_, dir, puerto, datos);
}

bool PartirDireccion(const QString& texto, QString& host, quint16& puerto, quint16 porDefecto) {
    const QString t = texto.trimmed();
    puerto = porDefecto;
    QString resto;
    if (t.startsWith(u'[')) {
        const qsizetype fin = t.indexOf(u']');
        if (fin < 0) return false;
        host = t.mid(1, fin - 1);
        resto = t.mid(fin + 1);
        if (!resto.isEmpty() && !resto.startsWith(u':')) return false;
        if (!resto.isEmpty())
            resto = resto.mid(1);
        else
            resto.clear();
        if (resto.isEmpty() && t.size() > fin + 1) return false;
    } else {
        const qsizetype dos = t.indexOf(u':');
        if (dos >= 0 && t.indexOf(u':', dos + 1) >= 0) { // bare IPv6, no port
            host = t;
        } else if (dos >= 0) {
            host = t.left(dos);
            resto = t.mid(dos + 1);
            if (resto.isEmpty()) return false;
        } else {
            host = t;
        }
    }
    if (!resto.isEmpty()) {
        bool ok = false;
        const uint p = resto.toUInt(&ok);
        if (!ok || p == 0 || p > 65535) return false;
        puerto = static_cast<quint16>(p);
    }
    return !host.isEmpty() && host.size() <= kMaxNombreHost;
}

bool blnDireccionLiteral(const QString& host, QHostAddress& dir) {
    if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0) {
        dir = QHostAddress(QHostAddress::LocalHost);
        return true;
    }
    return dir.setAddress(host);
}

QString TextoDireccion(const QHostAddress& dir, quint16 puerto) {
    bool esV4 = false;
    const quint32 v4 = dir.toIPv4Address(&esV4);
    if (esV4) return QStringLiteral("%1:%2").arg(QHostAddress(v4).toString()).arg(puerto);
    return QStringLiteral("[%1]:%2").arg(dir.toString()).arg(puerto);
}

bool blnIPv6Global(const QHostAddress& dir) {
    // Global unicast is 2000::/3; Qt's classes rule out the rest.
    return dir.protocol() == QAbstractSocket::IPv6Protocol && dir.isGlobal() &&
           (dir.toIPv6Address()[0] & 0xE0) == 0x20;
}

QString TextoIPv6ParaCompartir(const QList<QHostAddress>& propias, quint16 puerto) {
    for (const QHostAddress& d : propias)
        if (blnIPv6Global(d)) return TextoDireccion(d, puerto);
    return {};
}

// --- the rendezvous folder ------------------------------------------------

void CarpetaEncuentros::FijarRuta(const QString& ruta) {
    CarpetaFijada() = ruta;
}

QString CarpetaEncuentros::Ruta() {
    if (!CarpetaFijada().isEmpty()) return CarpetaFijada();
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty()) base = QDir::tempPath() + QStringLiteral("/brumaria-%1").arg(::getuid());
    return base + QStringLiteral("/brumaria-encuentros");
}

QString CarpetaEncuentros::Anunciar(quint16 puerto) {
    const QString carpeta = Ruta();
    if (!QDir().mkpath(carpeta)) return {};
    const QString archivo =
        QDir(carpeta).filePath(QStringLiteral("%1-%2").arg(::getpid()).arg(puerto));
    QFile f(archivo);
    return f.open(QIODevice::WriteOnly) ? archivo : QString();
}

QList<Destino> CarpetaEncuentros::Destinos() {
    QList<Destino> r;
    QDir dir(Ruta());
    const auto nombres = dir.entryList(QDir::Files);
    for (const QString& n : nombres) {
        const auto partes = n.split(u'-');
        if (partes.size() != 2) continue;
        bool okPid = false, okPuerto = false;
        const uint pid = partes[0].toUInt(&okPid);
        const uint puerto = partes[1].toUInt(&okPuerto);
        if (!okPid || !okPuerto || puerto == 0 || puerto > 65535) continue;
        if (!QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid))) {
            dir.remove(n); // its host is long gone
            continue;
        }
        r.append({QHostAddress(QHostAddress::LocalHost), static_cast<quint16>(puerto)});
        if (r.size() >= kMaxSesionesBusqueda) break;
    }
    return r;
}

// --- host side ------------------------------------------------------------

Anuncio::Anuncio(QObject* dueno, Sesion sesion) : dueno_(dueno), sesion_(std::move(sesion)) {}

Anuncio::~Anuncio() {
    Cerrar();
}

void Anuncio::Abrir(bool blnLocal, bool blnSoloLoopback, quint16 puertoTcp) {
    puertoTcp_ = puertoTcp;
    const auto responder = [this](QUdpSocket* s) { Responder(s); };
    local_.Abrir(dueno_, true, 0, false, responder);
    // Shared so several hosts on one machine can all hear broadcasts;
    // a host that cannot bind it is still found on this computer.
    if (!blnLocal) publico_.Abrir(dueno_, blnSoloLoopback, kPuertoDescubrimiento, true, responder);
    if (local_.blnAbierto()) archivo_ = CarpetaEncuentros::Anunciar(local_.Puerto());
}

void Anuncio::Cerrar() {
    local_.Cerrar();
    publico_.Cerrar();
    if (!archivo_.isEmpty()) {
        QFile::remove(archivo_);
        archivo_.clear();
    }
}

std::uint16_t Anuncio::PuertoLocal() const {
    return local_.Puerto();
}

void Anuncio::Responder(QUdpSocket* s) {
    for (int n = 0; n < kMaxDatagramasPorTurno && s->hasPendingDatagrams(); ++n) {
        const QNetworkDatagram dg = s->receiveDatagram(kMaxDatagrama + 1);
        const auto consulta = LeerConsulta(dg.data());
        if (!consulta) continue;
        const DPN_APPLICATION_DESC d = sesion_();
        if (consulta->guidAplicacion.compare(d.guidApplication, Qt::CaseInsensitive) != 0) continue;
        if (!segundo_.isValid() || segundo_.elapsed() >= 1000) {
            respondidas_.clear();
            segundo_.start();
        }
        QString fuente = dg.senderAddress().toString();
        if (!respondidas_.contains(fuente) && respondidas_.size() >= kMaxFuentesContadas)
            fuente.clear();
        if (++respondidas_[fuente] > kMaxRespuestasPorFuente) continue;
        RespuestaBusqueda r;
        r.marca = consulta->marca;
        r.guidInstancia = d.guidInstance;
        r.guidAplicacion = d.guidApplication;
        r.maxJugadores = static_cast<std::uint32_t>(d.lMaxPlayers);
        r.jugadores = static_cast<std::uint32_t>(d.lCurrentPlayers);
        r.puertoTcp = puertoTcp_;
        r.nombreSesion = d.SessionName;
        EnviarDatagrama(s, dg.senderAddress(), static_cast<quint16>(dg.senderPort()),
                        CodificarRespuesta(r));
    }
}

// --- searching side -------------------------------------------------------

Busqueda::Busqueda(QObject* dueno, Respuesta alResponder)
    : dueno_(dueno), alResponder_(std::move(alResponder)), temporizador_(new QTimer(dueno)) {
    QObject::connect(temporizador_, &QTimer::timeout, dueno_, [this] { Preguntar(); });
}

Busqueda::~Busqueda() {
    Detener();
}

void Busqueda::Empezar(std::int32_t handle, const QString& guidAplicacion, const QString& proveedor,
                       bool blnDifundir, bool blnSoloLoopback, const QString& hostEscrito,
                       quint16 puerto, int intervaloMs) {
    handle_ = handle;
    proveedor_ = proveedor;
    guid_ = guidAplicacion;
    blnDifundir_ = blnDifundir;
    blnEscrita_ = !hostEscrito.isEmpty();
    desfase_ = static_cast<std::uint32_t>(Azar::intAleatorio(0x7FFFFFFF));
    blnSoloLoopback_ = blnSoloLoopback;
    preguntas_ = 0;
    AbrirSocket();

    if (blnEscrita_) {
        QHostAddress dir;
        if (blnDireccionLiteral(hostEscrito, dir)) {
            destinosFijos_.append({dir, puerto});
        } else if (DirectPlay8Peer::blnModoPrueba()) {
            // Not even a name lookup leaves this computer in test mode.
        } else {
            QHostInfo::lookupHost(hostEscrito, dueno_,
                                  [this, handle, puerto](const QHostInfo& info) {
                                      if (handle_ != handle) return;
                                      // One address of each family: the
                                      // host may listen on either.
                                      bool v4 = false, v6 = false;
                                      for (const auto& a : info.addresses()) {
                                          bool& visto = a.protocol() == QAbstractSocket::IPv4Protocol
                                                            ? v4 : v6;
                                          if (visto) continue;
                                          visto = true;
                                          destinosFijos_.append({a, puerto});
                                      }
                                      Preguntar();
                                  });
        }
    }
    temporizador_->start(intervaloMs);
    Preguntar();
}

std::int32_t Busqueda::Detener() {
    const std::int32_t h = handle_;
    if (h == 0) return 0;
    handle_ = 0;
    temporizador_->stop();
    udp_.Cerrar();
    destinosFijos_.clear();
    marcas_.clear();
    fuentes_.clear();
    return h;
}

void Busqueda::AbrirSocket() {
    udp_.Abrir(dueno_, blnSoloLoopback_, 0, false, [this](QUdpSocket* s) { RecibirRespuestas(s); });
}

void Busqueda::FijarIntervalo(int ms) {
    if (temporizador_->isActive()) temporizador_->start(ms);
}

void Busqueda::Preguntar() {
    ConsultaBusqueda c;
    c.guidAplicacion = guid_;
    c.marca = RelojMs() + desfase_;
    marcas_.append(c.marca);
    if (marcas_.size() > kMaxMarcasRecientes) marcas_.removeFirst();
    const QByteArray datos = CodificarConsulta(c);
    if (blnEscrita_) {
        // A router asked before it maps the host's port keeps that flow
        // unmapped for as long as the queries keep it alive: every few
        // queries leave from a new port, a new flow that meets the mapping.
        if (++preguntas_ % kPreguntasPorPuerto == 0) AbrirSocket();
        for (const auto& [dir, puerto] : destinosFijos_)
            udp_.Enviar(dir, puerto, datos);
        return;
    }
    for (const auto& [dir, puerto] : CarpetaEncuentros::Destinos())
        udp_.Enviar(dir, puerto, datos);
    if (!blnDifundir_) return;
    if (DirectPlay8Peer::blnModoPrueba()) {
        udp_.Enviar(QHostAddress(QHostAddress::LocalHost), kPuertoDescubrimiento, datos);
        udp_.Enviar(QHostAddress(QHostAddress::LocalHostIPv6), kPuertoDescubrimiento, datos);
        return;
    }
    udp_.Enviar(QHostAddress(QHostAddress::Broadcast), kPuertoDescubrimiento, datos);
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const auto& i : interfaces) {
        const auto f = i.flags();
        if (!(f & QNetworkInterface::IsUp) || !(f & QNetworkInterface::IsRunning) ||
            (f & QNetworkInterface::IsLoopBack))
            continue;
        bool v6 = false;
        for (const auto& e : i.addressEntries()) {
            if (!e.broadcast().isNull() && (f & QNetworkInterface::CanBroadcast))
                udp_.Enviar(e.broadcast(), kPuertoDescubrimiento, datos);
            v6 = v6 || e.ip().protocol() == QAbstractSocket::IPv6Protocol;
        }
        // Link-local multicast needs its interface named.
        if (v6 && (f & QNetworkInterface::CanMulticast)) {
            QHostAddress grupo = GrupoTodosIPv6();
            grupo.setScopeId(i.name());
            udp_.Enviar(grupo, kPuertoDescubrimiento, datos);
        }
    }
}

void Busqueda::RecibirRespuestas(QUdpSocket* s) {
    for (int n = 0; n < kMaxDatagramasPorTurno && handle_ != 0 && s->hasPendingDatagrams(); ++n) {
        const QNetworkDatagram dg = s->receiveDatagram(kMaxDatagrama + 1);
        const auto r = LeerRespuesta(dg.data());
        if (!r || r->guidAplicacion.compare(guid_, Qt::CaseInsensitive) != 0 ||
            !marcas_.contains(r->marca))
            continue;
        if (!DirectPlay8Peer::blnDestinoPermitido(dg.senderAddress())) continue;
        const QString fuente = TextoDireccion(dg.senderAddress(), quint16(dg.senderPort()));
        const auto f = fuentes_.constFind(fuente);
        if (f == fuentes_.cend() ? fuentes_.size() >= kMaxSesionesBusqueda : *f == r->marca)
            continue;
        fuentes_.insert(fuente, r->marca);
        DPNMSG_ENUM_HOSTS_RESPONSE ev;
        ev.ApplicationDescription.guidInstance = r->guidInstancia;
        ev.ApplicationDescription.guidApplication = r->guidAplicacion;
        ev.ApplicationDescription.lMaxPlayers = static_cast<std::int32_t>(r->maxJugadores);
        ev.ApplicationDescription.lCurrentPlayers = static_cast<std::int32_t>(r->jugadores);
        ev.ApplicationDescription.SessionName = r->nombreSesion;
        ev.HostAddressUrl = TextoDireccion(dg.senderAddress(), r->puertoTcp);
        ev.DeviceAddressUrl = proveedor_;
        ev.SenderAddressUrl = fuente;
        const std::uint32_t ida = RelojMs() + desfase_ - r->marca;
        ev.lRoundTripLatencyMS =
            ida > kMaxLatenciaMs ? std::int32_t(kMaxLatenciaMs) : static_cast<std::int32_t>(ida);
        alResponder_(ev);
    }
}

} // namespace brumaria::red
