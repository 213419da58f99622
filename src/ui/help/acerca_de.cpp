#include "ui/help/acerca_de.h"

#include "platform/mensajes.h"
#include "ui/help/ayuda.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#ifndef BRUMARIA_VERSION
#define BRUMARIA_VERSION "0.0.0.0"
#endif

namespace brumaria {
namespace {

QPointer<FrmAcercaDe>& caja() {
    static QPointer<FrmAcercaDe> c;
    return c;
}

// A ship on the waves, when the shipped icon is missing.
QPixmap IconoDibujado(int lado) {
    QPixmap p(lado, lado);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(0x1f, 0x4e, 0x79));
    g.drawRoundedRect(QRectF(0, 0, lado, lado), lado * 0.18, lado * 0.18);
    const qreal u = lado / 16.0;
    g.setBrush(QColor(0xdd, 0xe4, 0xea));
    QPainterPath casco;
    casco.moveTo(2 * u, 9 * u);
    casco.lineTo(14 * u, 9 * u);
    casco.lineTo(12.5 * u, 11.5 * u);
    casco.lineTo(3.5 * u, 11.5 * u);
    casco.closeSubpath();
    g.drawPath(casco);
    g.drawRect(QRectF(6 * u, 6.5 * u, 4 * u, 2.5 * u));
    g.drawRect(QRectF(7.5 * u, 4 * u, 1 * u, 2.5 * u));
    g.setPen(QPen(QColor(0x8e, 0xc9, 0xf0), u * 0.8, Qt::SolidLine, Qt::RoundCap));
    g.setBrush(Qt::NoBrush);
    for (int i = 0; i < 2; ++i) {
        QPainterPath ola;
        const qreal y = (12.8 + 1.6 * i) * u;
        ola.moveTo(1.5 * u, y);
        for (int k = 0; k < 4; ++k)
            ola.quadTo((2.9 + 3.3 * k) * u, y - u, (4.8 + 3.3 * k) * u, y);
        g.drawPath(ola);
    }
    return p;
}

QLabel* Etiqueta(QWidget* padre, const char* nombre, const QString& texto) {
    auto* l = new QLabel(texto, padre);
    l->setObjectName(QLatin1String(nombre));
    l->setWordWrap(true);
    return l;
}

QFrame* Linea(QWidget* padre) {
    auto* l = new QFrame(padre);
    l->setObjectName(QStringLiteral("Line1"));
    l->setFrameShape(QFrame::HLine);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}

} // namespace

QString strVersionPrograma() {
    return QStringLiteral(BRUMARIA_VERSION);
}

QString strVersion(const QString& registroVersion) {
    const QStringList campos = registroVersion.trimmed().split(QLatin1Char('.'));
    auto campo = [&](int i) {
        return i < campos.size() ? campos.at(i).trimmed().toULongLong() : 0ULL;
    };
    return QStringLiteral("Versión %1.%2.%3").arg(campo(0)).arg(campo(1)).arg(campo(3));
}

FrmAcercaDe::FrmAcercaDe(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAcercaDe"));
    setWindowTitle(QStringLiteral("Acerca de ") + kTituloPrograma);
    setModal(false);

    picIcon_ = new QLabel(this);
    picIcon_->setObjectName(QStringLiteral("picIcon"));
    // The program's own icon, built into the game; drawn when it is missing.
    QPixmap icono(QStringLiteral(":/brumaria/brumaria.png"));
    if (icono.isNull())
        icono = IconoDibujado(64);
    else
        icono = icono.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    picIcon_->setPixmap(icono);
    picIcon_->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle_ = Etiqueta(this, "lblTitle", kTituloPrograma);
    QFont grande = lblTitle_->font();
    grande.setPointSizeF(grande.pointSizeF() * 1.8);
    grande.setBold(true);
    lblTitle_->setFont(grande);
    lblVersion_ = Etiqueta(this, "lblVersion", strVersion(strVersionPrograma()));
    lblDescription_ = Etiqueta(
        this, "lblDescription",
        QStringLiteral("Batalla naval contra el ordenador o contra otra persona en la red. "
                       "Programa y ayuda: el equipo de Brumaria."));
    lblFreeware_ =
        Etiqueta(this, "lblFreeware",
                 QStringLiteral("Brumaria es un programa gratuito. Puede copiarlo y repartirlo "
                                "libremente, siempre que lo haga completo y sin cobrar por él."));
    lblDisclaimer_ = Etiqueta(
        this, "lblDisclaimer",
        QStringLiteral("Aviso: este programa se ofrece tal cual, sin garantía de ningún tipo. "
                       "Los autores no responden de los daños que pudiera causar su uso."));
    QFont pequena = lblDisclaimer_->font();
    pequena.setPointSizeF(pequena.pointSizeF() * 0.9);
    lblDisclaimer_->setFont(pequena);

    cmdOK_ = new QPushButton(QStringLiteral("Aceptar"), this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::close);

    auto* cabecera = new QVBoxLayout;
    cabecera->addWidget(lblTitle_);
    cabecera->addWidget(lblVersion_);
    cabecera->addSpacing(6);
    cabecera->addWidget(lblDescription_);
    auto* arriba = new QHBoxLayout;
    arriba->addWidget(picIcon_, 0, Qt::AlignTop);
    arriba->addSpacing(12);
    arriba->addLayout(cabecera, 1);

    auto* abajo = new QHBoxLayout;
    abajo->addStretch(1);
    abajo->addWidget(cmdOK_, 0, Qt::AlignBottom);

    auto* capas = new QVBoxLayout(this);
    capas->setContentsMargins(16, 16, 16, 12);
    capas->addLayout(arriba);
    capas->addWidget(Linea(this));
    capas->addWidget(lblFreeware_);
    capas->addWidget(lblDisclaimer_);
    capas->addWidget(Linea(this));
    capas->addLayout(abajo);

    setFixedWidth(440);
    setSizeGripEnabled(false);
}

FrmAcercaDe* AcercaDeAbierto() {
    return caja();
}

void MostrarAcercaDe(QWidget* propietario) {
    FrmAcercaDe* c = caja();
    if (!c) {
        c = new FrmAcercaDe(propietario ? propietario->window() : nullptr);
        c->setAttribute(Qt::WA_DeleteOnClose);
        caja() = c;
    }
    c->show();
    c->raise();
    c->activateWindow();
}

} // namespace brumaria
