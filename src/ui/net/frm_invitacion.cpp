#include "ui/net/frm_invitacion.h"

#include "logs/cuadros_de_texto.h"
#include "net/invitacion/invitacion.h"
#include "net/moddplay.h"
#include "platform/mensajes.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace brumaria {

using red::invitacion::Invitacion;

FrmInvitacion::FrmInvitacion(Invitacion& invitacion, ModDPlay& dplay, ModCuadrosDeTexto& cuadros,
                             QWidget* parent)
    : QDialog(parent), invitacion_(invitacion), dplay_(dplay), cuadros_(cuadros) {
    setObjectName(QStringLiteral("frmInvitacion"));
    setWindowTitle(QStringLiteral("Invitación por Internet"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* titulo = new QLabel(QStringLiteral("Tu código de invitación:"), this);
    lblCodigo = new QLabel(this);
    lblCodigo->setObjectName(QStringLiteral("lblCodigo"));
    lblCodigo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QFont f = lblCodigo->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    lblCodigo->setFont(f);
    titulo->setBuddy(lblCodigo);
    cmdCopiar = new QPushButton(QStringLiteral("&Copiar"), this);
    cmdCopiar->setObjectName(QStringLiteral("cmdCopiar"));
    cmdCopiar->setAutoDefault(false);
    auto* explicacion = new QLabel(
        QStringLiteral("Díselo a tu amigo: en «Unirse a una partida», con el tipo de conexión "
                       "«Por Internet, con un código de invitación», lo escribe y pulsa Aceptar."),
        this);
    explicacion->setWordWrap(true);
    lblPaso = new QLabel(this);
    lblPaso->setObjectName(QStringLiteral("lblPaso"));
    lblPaso->setWordWrap(true);
    cmdCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));

    auto* filaCodigo = new QHBoxLayout;
    filaCodigo->addWidget(lblCodigo, 1);
    filaCodigo->addWidget(cmdCopiar);
    auto* capa = new QVBoxLayout(this);
    capa->addWidget(titulo);
    capa->addLayout(filaCodigo);
    capa->addWidget(explicacion);
    capa->addWidget(lblPaso);
    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(cmdCancelar);
    capa->addLayout(botones);
    resize(460, 220);

    connect(cmdCopiar, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(lblCodigo->text()); });
    connect(cmdCancelar, &QPushButton::clicked, this, &FrmInvitacion::reject);
    connect(&invitacion_, &Invitacion::codigoListo, this, &FrmInvitacion::Codigo);
    connect(&invitacion_, &Invitacion::paso, this,
            [this](red::invitacion::EstadoInvitacion, const QString& t) { lblPaso->setText(t); });
    connect(&invitacion_, &Invitacion::conectada, this, [this](bool blnRetransmitido) {
        cuadros_.EscribirEnHistorial(Invitacion::TextoConectados(blnRetransmitido) +
                                     QLatin1Char('.'));
        invitacion_.disconnect(this);
        QDialog::accept();
    });
    connect(&invitacion_, &Invitacion::fallida, this,
            [this](Invitacion::Fallo, const QString& t) { Fallida(t); });
    if (!invitacion_.Codigo().isEmpty()) Codigo(invitacion_.Codigo());
    lblPaso->setText(Invitacion::TextoPaso(invitacion_.Estado(), invitacion_.papel()));
}

void FrmInvitacion::Codigo(const QString& codigo) {
    lblCodigo->setText(codigo);
    lblCodigo->setAccessibleName(QStringLiteral("Tu código de invitación: ") + codigo);
    cuadros_.EscribirEnHistorial(QStringLiteral("Tu código de invitación: ") + codigo);
}

void FrmInvitacion::Fallida(const QString& texto) {
    invitacion_.disconnect(this);
    MsgBox(texto, QStringLiteral("Invitación por Internet"), Icono::Exclamacion);
    dplay_.TerminarConexion();
    QDialog::reject();
}

void FrmInvitacion::reject() {
    invitacion_.disconnect(this);
    invitacion_.Cancelar();
    dplay_.TerminarConexion();
    QDialog::reject();
}

} // namespace brumaria
