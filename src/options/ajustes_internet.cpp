#include "options/ajustes_internet.h"

#include "platform/rutas.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace brumaria {

namespace {

// Keeps an entry's shape: trimmed, bounded, no blank entries.
QStringList Limpiar(const QStringList& entrada) {
    QStringList r;
    for (const QString& e : entrada) {
        const QString t = e.trimmed();
        if (t.isEmpty() || t.size() > kMaxTextoAjuste) continue;
        if (r.size() == kMaxServidores) break;
        r << t;
    }
    return r;
}

QString Acotar(const QString& s) {
    const QString t = s.trimmed();
    return t.size() > kMaxTextoAjuste ? QString() : t;
}

} // namespace

AjustesInternet AjustesInternet::PorDefecto() {
    AjustesInternet a;
    // Public, long-lived infrastructure; the player can replace any of it.
    a.stun = {QStringLiteral("stun.l.google.com:19302"), QStringLiteral("stun.cloudflare.com:3478")};
    a.nodosDht = {QStringLiteral("router.bittorrent.com:6881"),
                  QStringLiteral("dht.transmissionbt.com:6881"),
                  QStringLiteral("router.utorrent.com:6881"),
                  QStringLiteral("dht.libtorrent.org:25401")};
    return a;
}

QString strRutaAjustesInternet() {
    return UnirRuta(strRutaConfigUsuario(), QStringLiteral("red.ini"));
}

AjustesInternet LeerAjustesInternet(const QString& ruta) {
    AjustesInternet a = AjustesInternet::PorDefecto();
    const QFileInfo info(ruta);
    if (!info.isFile() || info.size() > kMaxArchivoAjustes) return a;
    QSettings s(ruta, QSettings::IniFormat);
    if (s.status() != QSettings::NoError) return a;
    s.beginGroup(QStringLiteral("Internet"));
    // Lists are kept as one line each, entries separated by spaces, so a
    // player can edit the file by hand.
    auto lista = [&s](const char* clave, const QStringList& porDefecto) {
        if (!s.contains(QLatin1String(clave))) return porDefecto;
        return Limpiar(s.value(QLatin1String(clave)).toString().split(QLatin1Char(' ')));
    };
    a.stun = lista("stun", a.stun);
    a.nodosDht = lista("dht", a.nodosDht);
    a.turn = Acotar(s.value(QStringLiteral("turn")).toString());
    a.turnUsuario = Acotar(s.value(QStringLiteral("turn_usuario")).toString());
    a.turnClave = Acotar(s.value(QStringLiteral("turn_clave")).toString());
    a.blnDhtPrivada = s.value(QStringLiteral("dht_privada"), false).toBool();
    return a;
}

bool GuardarAjustesInternet(const AjustesInternet& a, const QString& ruta) {
    {
        QSettings s(ruta, QSettings::IniFormat);
        s.beginGroup(QStringLiteral("Internet"));
        s.setValue(QStringLiteral("stun"), Limpiar(a.stun).join(QLatin1Char(' ')));
        s.setValue(QStringLiteral("dht"), Limpiar(a.nodosDht).join(QLatin1Char(' ')));
        s.setValue(QStringLiteral("turn"), Acotar(a.turn));
        s.setValue(QStringLiteral("turn_usuario"), Acotar(a.turnUsuario));
        s.setValue(QStringLiteral("turn_clave"), Acotar(a.turnClave));
        s.setValue(QStringLiteral("dht_privada"), a.blnDhtPrivada);
        s.endGroup();
        s.sync();
        if (s.status() != QSettings::NoError) return false;
    }
    return QFile::setPermissions(ruta, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace brumaria
