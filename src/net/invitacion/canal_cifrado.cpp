#include "net/invitacion/canal_cifrado.h"

#include <algorithm>

namespace brumaria::red::invitacion {

namespace {
constexpr qsizetype kLargo = 2; // the u16 before each record

unsigned char* U(QByteArray& b) {
    return reinterpret_cast<unsigned char*>(b.data());
}
const unsigned char* U(QByteArrayView v) {
    return reinterpret_cast<const unsigned char*>(v.data());
}
} // namespace

CanalCifrado::CanalCifrado(const ClavesSesion& claves) : claveTx_(claves.tx), claveRx_(claves.rx) {}

CanalCifrado::~CanalCifrado() {
    sodium_memzero(claveTx_.data(), claveTx_.size());
    sodium_memzero(claveRx_.data(), claveRx_.size());
    sodium_memzero(&tx_, sizeof tx_);
    sodium_memzero(&rx_, sizeof rx_);
}

QByteArray CanalCifrado::Abrir() {
    if (abiertoTx_ || !blnSodioListo()) return {};
    QByteArray cabecera(kCabeceraFlujo, Qt::Uninitialized);
    crypto_secretstream_xchacha20poly1305_init_push(&tx_, U(cabecera), claveTx_.data());
    abiertoTx_ = true;
    return cabecera;
}

QByteArray CanalCifrado::Cifrar(QByteArrayView claro) {
    if (!abiertoTx_ || cerradoTx_) return {};
    const qsizetype registros = (claro.size() + kMaxClaroRegistro - 1) / kMaxClaroRegistro;
    QByteArray salida;
    salida.reserve(claro.size() + registros * (kLargo + kSobreRegistro));
    for (qsizetype pos = 0; pos < claro.size(); pos += kMaxClaroRegistro) {
        const QByteArrayView trozo =
            claro.sliced(pos, std::min(kMaxClaroRegistro, claro.size() - pos));
        const auto largo = static_cast<std::uint16_t>(trozo.size() + kSobreRegistro);
        const qsizetype inicio = salida.size();
        salida.append(static_cast<char>(largo >> 8));
        salida.append(static_cast<char>(largo & 0xFF));
        salida.resize(inicio + kLargo + largo);
        crypto_secretstream_xchacha20poly1305_push(
            &tx_, U(salida) + inicio + kLargo, nullptr, U(trozo),
            static_cast<unsigned long long>(trozo.size()), nullptr, 0,
            crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
    }
    return salida;
}

QByteArray CanalCifrado::CifrarFinal() {
    if (!abiertoTx_ || cerradoTx_) return {};
    cerradoTx_ = true;
    QByteArray salida(kLargo + kSobreRegistro, Qt::Uninitialized);
    salida[0] = 0;
    salida[1] = static_cast<char>(kSobreRegistro);
    crypto_secretstream_xchacha20poly1305_push(&tx_, U(salida) + kLargo, nullptr, nullptr, 0,
                                               nullptr, 0,
                                               crypto_secretstream_xchacha20poly1305_TAG_FINAL);
    sodium_memzero(&tx_, sizeof tx_);
    return salida;
}

CanalCifrado::Estado CanalCifrado::Romper() {
    estado_ = Estado::Roto;
    pendiente_.clear();
    sodium_memzero(&rx_, sizeof rx_);
    return estado_;
}

CanalCifrado::Estado CanalCifrado::Recibir(QByteArrayView cifrado, QByteArray& claro) {
    if (estado_ == Estado::Roto) return estado_;
    qsizetype pos = 0;
    // Tops pendiente_ up towards `hasta` bytes from the input; true once
    // it holds them (it may already, a length waiting for its record).
    auto Juntar = [&](qsizetype hasta) {
        const qsizetype falta =
            std::min(std::max<qsizetype>(hasta - pendiente_.size(), 0), cifrado.size() - pos);
        pendiente_.append(cifrado.sliced(pos, falta));
        pos += falta;
        return pendiente_.size() >= hasta;
    };
    while (pos < cifrado.size()) {
        if (estado_ == Estado::Cerrado) return Romper(); // bytes after FINAL
        if (!cabeceraRx_) {
            if (!Juntar(kCabeceraFlujo)) break;
            if (!blnSodioListo() || crypto_secretstream_xchacha20poly1305_init_pull(
                                        &rx_, U(QByteArrayView(pendiente_)), claveRx_.data()) != 0)
                return Romper();
            cabeceraRx_ = true;
            pendiente_.clear();
            continue;
        }
        if (!Juntar(kLargo)) break;
        const qsizetype largo = (qsizetype(static_cast<std::uint8_t>(pendiente_[0])) << 8) |
                                static_cast<std::uint8_t>(pendiente_[1]);
        // Checked before any of its bytes are waited for: this is what
        // bounds what the other side can make us hold.
        if (largo < kSobreRegistro || largo > kMaxCifradoRegistro) return Romper();
        if (!Juntar(kLargo + largo)) break;
        QByteArray texto(largo - kSobreRegistro, Qt::Uninitialized);
        unsigned char etiqueta = 0;
        if (crypto_secretstream_xchacha20poly1305_pull(
                &rx_, U(texto), nullptr, &etiqueta, U(QByteArrayView(pendiente_)) + kLargo,
                static_cast<unsigned long long>(largo), nullptr, 0) != 0)
            return Romper();
        pendiente_.clear();
        if (etiqueta == crypto_secretstream_xchacha20poly1305_TAG_MESSAGE) {
            claro.append(texto);
        } else if (etiqueta == crypto_secretstream_xchacha20poly1305_TAG_FINAL && texto.isEmpty()) {
            estado_ = Estado::Cerrado;
            sodium_memzero(&rx_, sizeof rx_);
        } else {
            return Romper(); // we never send PUSH or REKEY, nor a FINAL with data
        }
    }
    return estado_;
}

CanalCifrado::Estado CanalCifrado::FinDelTransporte() {
    if (estado_ == Estado::Abierto) return Romper();
    return estado_;
}

} // namespace brumaria::red::invitacion
